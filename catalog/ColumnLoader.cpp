#include "catalog/ColumnLoader.h"

#include "catalog/CatalogCalls.h"
#include "catalog/CatalogConnection.h"
#include "catalog/CatalogResultColumns.h"
#include "catalog/LoadJob.h"
#include "catalog/ObjectRecord.h"
#include "catalog/OdbcStatement.h"

#include <algorithm>
#include <sqlext.h>

namespace velkaro {

void ColumnLoader::Load(const LoadJob& job, CatalogNode objectNode, ObjectRecord& record) const
{
    record.SetColumns({});
    const CatalogSettings settings = job.host->GetCatalogSettings();
    if (!job.explicitLoad && settings.racol)
        return;
    if (job.StopRequested("columns"))
        return;
    if (!settings.ocol) {
        if (settings.lany)
            job.Log(record.Type() + QLatin1Char(' ') + record.Name() +
                    QStringLiteral(" columns skipped by user choice."));
        return;
    }
    ColumnList list;
    const Outcome outcome = FetchColumns(job, record, list);
    record.SetColumns(std::move(list));
    if (outcome == Outcome::Finished)
        job.host->RepaintTree();
}

ColumnLoader::Outcome ColumnLoader::FetchColumns(const LoadJob& job, const ObjectRecord& record,
                                                 ColumnList& list) const
{
    OdbcStatement statement(m_connection.Hdbc());
    if (!statement.IsValid())
        return Outcome::Failed;
    const SQLRETURN rc = CallColumns(statement, m_connection, record.GetObjectName());
    if (!IsSuccess(rc)) {
        m_connection.ReportError(statement.Handle());
        return Outcome::Failed;
    }
    const bool logColumns = job.host->GetCatalogSettings().lcol;
    while (IsSuccess(statement.Fetch())) {
        if (job.StopRequested("columns"))
            return Outcome::Stopped;
        ColumnRecord column;
        column.name = statement.Text(ColName);
        column.typeName = statement.Text(ColTypeName);
        const int precision = statement.NumberOr(ColPrecision, 0);
        const int scale = statement.NumberOr(ColScale, 0);
        column.radix = RadixText(statement.NumberOr(ColRadix, 0));
        column.nullability = NullabilityText(statement.NumberOr(ColNullable, SQL_NULLABLE_UNKNOWN));
        column.remarks = statement.Text(ColRemarks);
        column.size = SizeText(column.typeName, precision, scale);
        list.maxColumnNameLen = std::max<int>(list.maxColumnNameLen, column.name.size());
        list.maxColumnTypeLen =
            std::max<int>(list.maxColumnTypeLen, column.typeName.size() + column.size.size() + 3);
        if (logColumns)
            job.Log(job.alias + QStringLiteral(": ") + record.Name() + QStringLiteral(": Column ") +
                    column.name + QStringLiteral(" loaded."));
        list.columns.push_back(std::move(column));
    }
    return Outcome::Finished;
}

QString ColumnLoader::NullabilityText(int nullable)
{
    const auto low = static_cast<qint16>(nullable & 0xffff);
    if (low == SQL_NO_NULLS)
        return QStringLiteral("NOT NULL");
    if (low == SQL_NULLABLE)
        return QStringLiteral("NULL");
    return QString();
}

QString ColumnLoader::SizeText(const QString& typeName, int precision, int scale)
{
    const QString upper = typeName.toUpper();
    if (precision <= 0 || upper == QLatin1String("DATE") || upper == QLatin1String("DATETIME"))
        return QString();
    QString size = QString::number(precision);
    if (scale != 0)
        size += QLatin1Char(',') + QString::number(scale);
    return size;
}

QString ColumnLoader::RadixText(int radix)
{
    const auto low = static_cast<qint16>(radix & 0xffff);
    return low != 0 ? QString::number(low) : QStringLiteral("N/A");
}

} // namespace velkaro

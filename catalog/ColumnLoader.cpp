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
    record.setColumns({});
    const CatalogSettings settings = job.host->catalogSettings();
    if (!job.explicitLoad && settings.racol)
        return;
    if (job.stopRequested("columns"))
        return;
    if (!settings.ocol) {
        if (settings.lany)
            job.log(record.type() + QLatin1Char(' ') + record.name() +
                    QStringLiteral(" columns skipped by user choice."));
        return;
    }
    ColumnList list;
    const Outcome outcome = fetchColumns(job, record, list);
    record.setColumns(std::move(list));
    if (outcome == Outcome::Finished)
        job.host->RepaintTree();
}

ColumnLoader::Outcome ColumnLoader::fetchColumns(const LoadJob& job, const ObjectRecord& record,
                                                 ColumnList& list) const
{
    OdbcStatement statement(m_connection.hdbc());
    if (!statement.isValid())
        return Outcome::Failed;
    const SQLRETURN rc = CallColumns(statement, m_connection, record.objectName());
    if (!IsSuccess(rc)) {
        m_connection.reportError(statement.handle());
        return Outcome::Failed;
    }
    const bool logColumns = job.host->catalogSettings().lcol;
    while (IsSuccess(statement.fetch())) {
        if (job.stopRequested("columns"))
            return Outcome::Stopped;
        ColumnRecord column;
        column.name = statement.text(ColName);
        column.typeName = statement.text(ColTypeName);
        const int precision = statement.numberOr(ColPrecision, 0);
        const int scale = statement.numberOr(ColScale, 0);
        column.radix = RadixText(statement.numberOr(ColRadix, 0));
        column.nullability = NullabilityText(statement.numberOr(ColNullable, SQL_NULLABLE_UNKNOWN));
        column.remarks = statement.text(ColRemarks);
        column.size = SizeText(column.typeName, precision, scale);
        list.maxColumnNameLen = std::max<int>(list.maxColumnNameLen, column.name.size());
        list.maxColumnTypeLen =
            std::max<int>(list.maxColumnTypeLen, column.typeName.size() + column.size.size() + 3);
        if (logColumns)
            job.log(job.alias + QStringLiteral(": ") + record.name() + QStringLiteral(": Column ") +
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

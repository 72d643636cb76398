#include "catalog/IndexLoader.h"

#include "catalog/CatalogCalls.h"
#include "catalog/CatalogConnection.h"
#include "catalog/CatalogResultColumns.h"
#include "catalog/LoadJob.h"
#include "catalog/ObjectRecord.h"
#include "catalog/OdbcStatement.h"

#include <algorithm>
#include <sqlext.h>

namespace velkaro {

namespace {

QString uniquenessText(int nonUnique)
{
    if (nonUnique == 0)
        return QStringLiteral("UNIQUE ");
    if (nonUnique == 1)
        return QStringLiteral("NOT UNIQUE ");
    return QString();
}

} // namespace

void IndexLoader::Load(const LoadJob& job, CatalogNode objectNode, ObjectRecord& record) const
{
    if (job.StopRequested("indexes"))
        return;
    record.SetIndexes({});
    const CatalogSettings settings = job.host->GetCatalogSettings();
    if (!job.explicitLoad && settings.racol)
        return;
    if (!settings.oind) {
        if (settings.lany)
            job.Log(record.Type() + QLatin1Char(' ') + record.Name() +
                    QStringLiteral(" indexes skipped by user choice."));
        return;
    }
    OdbcStatement statement(m_connection.Hdbc());
    if (!statement.IsValid())
        return;
    if (!IsSuccess(CallStatistics(statement, record.GetObjectName()))) {
        m_connection.ReportError(statement.Handle());
        return;
    }
    IndexList list;
    ReadRows(job, objectNode, record, statement, list);
    record.SetIndexes(std::move(list));
}

void IndexLoader::ReadRows(const LoadJob& job, CatalogNode objectNode, const ObjectRecord& record,
                           OdbcStatement& statement, IndexList& list) const
{
    const CatalogSettings settings = job.host->GetCatalogSettings();
    QString previousName;
    // Rows arrive ordered by uniqueness, type and index name, so an index's rows are neighbours.
    for (SQLRETURN rc = statement.Fetch(); rc != SQL_NO_DATA; rc = statement.Fetch()) {
        if (!IsSuccess(rc)) {
            m_connection.ReportError(statement.Handle());
            return;
        }
        if (job.StopRequested("indexes"))
            return;
        const int nonUnique = statement.NumberOr(StatNonUnique, -1);
        const QString indexName = statement.Text(StatIndexName);
        // The table's own statistics row is no index; a row without an index name has nothing to join.
        if (statement.NumberOr(StatType, SQL_TABLE_STAT) == SQL_TABLE_STAT || indexName.isEmpty())
            continue;
        if (indexName != previousName) {
            previousName = indexName;
            list.indexes.push_back({indexName, uniquenessText(nonUnique), {}});
            list.maxIndexNameLen = std::max<int>(list.maxIndexNameLen, indexName.size());
            if (!job.host->InsertIndexNode(objectNode, indexName)) {
                if (settings.lany)
                    job.Log(QStringLiteral("Error adding index ") + indexName +
                            QStringLiteral(" to view, terminating indexes retrieval for table ") +
                            record.Name());
                return;
            }
            if (!settings.oindcol && settings.lany)
                job.Log(QStringLiteral("INDEX ") + record.Name() + QLatin1Char('.') + indexName +
                        QStringLiteral(" columns skipped by user choice."));
        }
        if (!settings.oindcol)
            continue;
        const QString columnName = statement.Text(StatColumnName);
        list.indexes.back().columnNames.append(columnName);
        list.maxIndexNameLen = std::max<int>(list.maxIndexNameLen, columnName.size());
        if (settings.lind)
            job.Log(job.alias + QStringLiteral(": ") + record.Name() + QStringLiteral(": ") + indexName +
                    QStringLiteral(": Index Column ") + columnName + QStringLiteral(" loaded."));
    }
}

} // namespace velkaro

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
    if (job.stopRequested("indexes"))
        return;
    record.setIndexes({});
    const CatalogSettings settings = job.host->catalogSettings();
    if (!job.explicitLoad && settings.racol)
        return;
    if (!settings.oind) {
        if (settings.lany)
            job.log(record.type() + QLatin1Char(' ') + record.name() +
                    QStringLiteral(" indexes skipped by user choice."));
        return;
    }
    OdbcStatement statement(m_connection.hdbc());
    if (!statement.isValid())
        return;
    if (!IsSuccess(CallStatistics(statement, record.objectName()))) {
        m_connection.reportError(statement.handle());
        return;
    }
    IndexList list;
    readRows(job, objectNode, record, statement, list);
    record.setIndexes(std::move(list));
}

void IndexLoader::readRows(const LoadJob& job, CatalogNode objectNode, const ObjectRecord& record,
                           OdbcStatement& statement, IndexList& list) const
{
    const CatalogSettings settings = job.host->catalogSettings();
    QString previousName;
    // Rows arrive ordered by uniqueness, type and index name, so an index's rows are neighbours.
    for (SQLRETURN rc = statement.fetch(); rc != SQL_NO_DATA; rc = statement.fetch()) {
        if (!IsSuccess(rc)) {
            m_connection.reportError(statement.handle());
            return;
        }
        if (job.stopRequested("indexes"))
            return;
        const int nonUnique = statement.numberOr(StatNonUnique, -1);
        const QString indexName = statement.text(StatIndexName);
        // The table's own statistics row is no index; a row without an index name has nothing to join.
        if (statement.numberOr(StatType, SQL_TABLE_STAT) == SQL_TABLE_STAT || indexName.isEmpty())
            continue;
        if (indexName != previousName) {
            previousName = indexName;
            list.indexes.push_back({indexName, uniquenessText(nonUnique), {}});
            list.maxIndexNameLen = std::max<int>(list.maxIndexNameLen, indexName.size());
            if (!job.host->InsertIndexNode(objectNode, indexName)) {
                if (settings.lany)
                    job.log(QStringLiteral("Error adding index ") + indexName +
                            QStringLiteral(" to view, terminating indexes retrieval for table ") +
                            record.name());
                return;
            }
            if (!settings.oindcol && settings.lany)
                job.log(QStringLiteral("INDEX ") + record.name() + QLatin1Char('.') + indexName +
                        QStringLiteral(" columns skipped by user choice."));
        }
        if (!settings.oindcol)
            continue;
        const QString columnName = statement.text(StatColumnName);
        list.indexes.back().columnNames.append(columnName);
        list.maxIndexNameLen = std::max<int>(list.maxIndexNameLen, columnName.size());
        if (settings.lind)
            job.log(job.alias + QStringLiteral(": ") + record.name() + QStringLiteral(": ") + indexName +
                    QStringLiteral(": Index Column ") + columnName + QStringLiteral(" loaded."));
    }
}

} // namespace velkaro

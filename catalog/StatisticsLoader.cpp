#include "catalog/StatisticsLoader.h"

#include "catalog/CatalogCalls.h"
#include "catalog/CatalogConnection.h"
#include "catalog/CatalogResultColumns.h"
#include "catalog/OdbcStatement.h"

#include <sqlext.h>

namespace velkaro {

namespace {

// A statistic of 0 or NULL is one the driver did not give.
void takeStatistic(OdbcStatement& statement, SQLUSMALLINT column, int& target)
{
    const int value = statement.NumberOr(column, 0);
    if (value != 0)
        target = value;
}

// Fetches until a row is accepted; a fetch that fails for another reason than the end is reported.
template <class Accept>
bool findRow(const CatalogConnection& connection, OdbcStatement& statement, Accept accept)
{
    for (SQLRETURN rc = statement.Fetch(); rc != SQL_NO_DATA; rc = statement.Fetch()) {
        if (!IsSuccess(rc)) {
            connection.ReportError(statement.Handle());
            return false;
        }
        if (accept())
            return true;
    }
    return false;
}

} // namespace

std::optional<TableStatistics> StatisticsLoader::LoadTableStatistics(const ObjectName& table) const
{
    TableStatistics statistics;
    OdbcStatement statement(m_connection.Hdbc());
    if (!statement.IsValid())
        return std::nullopt;
    if (!IsSuccess(CallStatistics(statement, table))) {
        m_connection.ReportError(statement.Handle());
        return std::nullopt;
    }
    const bool found = findRow(m_connection, statement, [&] {
        if (statement.NumberOr(StatType, -1) != SQL_TABLE_STAT)
            return false;
        takeStatistic(statement, StatCardinality, statistics.cardinality);
        takeStatistic(statement, StatPages, statistics.pages);
        return true;
    });
    if (!found)
        return std::nullopt;
    return statistics;
}

IndexStatistics StatisticsLoader::LoadIndexStatistics(const ObjectName& table, const QString& indexName) const
{
    IndexStatistics statistics;
    OdbcStatement statement(m_connection.Hdbc());
    if (!statement.IsValid())
        return statistics;
    if (!IsSuccess(CallStatistics(statement, table))) {
        m_connection.ReportError(statement.Handle());
        return statistics;
    }
    findRow(m_connection, statement, [&] {
        const QString name = statement.Text(StatIndexName);
        if (statement.NumberOr(StatType, SQL_TABLE_STAT) == SQL_TABLE_STAT || name != indexName)
            return false;
        takeStatistic(statement, StatCardinality, statistics.cardinality);
        takeStatistic(statement, StatPages, statistics.pages);
        statistics.filter = statement.Text(StatFilter);
        return true;
    });
    return statistics;
}

} // namespace velkaro

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
    const int value = statement.numberOr(column, 0);
    if (value != 0)
        target = value;
}

// Fetches until a row is accepted; a fetch that fails for another reason than the end is reported.
template <class Accept>
bool findRow(const CatalogConnection& connection, OdbcStatement& statement, Accept accept)
{
    for (SQLRETURN rc = statement.fetch(); rc != SQL_NO_DATA; rc = statement.fetch()) {
        if (!IsSuccess(rc)) {
            connection.reportError(statement.handle());
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
    OdbcStatement statement(m_connection.hdbc());
    if (!statement.isValid())
        return std::nullopt;
    if (!IsSuccess(CallStatistics(statement, table))) {
        m_connection.reportError(statement.handle());
        return std::nullopt;
    }
    const bool found = findRow(m_connection, statement, [&] {
        if (statement.numberOr(StatType, -1) != SQL_TABLE_STAT)
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
    OdbcStatement statement(m_connection.hdbc());
    if (!statement.isValid())
        return statistics;
    if (!IsSuccess(CallStatistics(statement, table))) {
        m_connection.reportError(statement.handle());
        return statistics;
    }
    findRow(m_connection, statement, [&] {
        const QString name = statement.text(StatIndexName);
        if (statement.numberOr(StatType, SQL_TABLE_STAT) == SQL_TABLE_STAT || name != indexName)
            return false;
        takeStatistic(statement, StatCardinality, statistics.cardinality);
        takeStatistic(statement, StatPages, statistics.pages);
        statistics.filter = statement.text(StatFilter);
        return true;
    });
    return statistics;
}

} // namespace velkaro

#pragma once

#include "catalog/SchemaRecords.h"

#include <optional>

namespace velkaro {

class CatalogConnection;

// The on-demand statistics of one table or index. A value the driver gives as 0 or NULL stays
// NOT_AVAILABLE.
class StatisticsLoader final
{
public:
    explicit StatisticsLoader(const CatalogConnection& connection) : m_connection(connection) {}

    // nullopt when the driver returned no table statistics row.
    std::optional<TableStatistics> LoadTableStatistics(const ObjectName& table) const;
    IndexStatistics LoadIndexStatistics(const ObjectName& table, const QString& indexName) const;

private:
    const CatalogConnection& m_connection;
};

} // namespace velkaro

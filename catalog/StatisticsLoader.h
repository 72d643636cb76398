#pragma once

#include "catalog/SchemaRecords.h"

namespace velkaro {

class CatalogConnection;
class SchemaModel;

// The on-demand statistics of one table or index. A value the driver gives as 0 or NULL stays
// NOT_AVAILABLE.
class StatisticsLoader final
{
public:
    StatisticsLoader(const CatalogConnection& connection, SchemaModel& model)
        : m_connection(connection), m_model(model)
    {}

    // True when the driver returned a table statistics row.
    bool LoadTableStatistics(const ObjectName& table) const;
    void LoadIndexStatistics(const ObjectName& table, const QString& indexName) const;

private:
    const CatalogConnection& m_connection;
    SchemaModel& m_model;
};

} // namespace velkaro

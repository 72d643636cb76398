#pragma once

#include "catalog/SchemaRecords.h"

namespace velkaro {

class CatalogConnection;
class SchemaModel;

// The on-demand key queries of the property pages and reports. Each replaces its list in the model.
class KeyLoader final
{
public:
    KeyLoader(const CatalogConnection& connection, SchemaModel& model)
        : m_connection(connection), m_model(model)
    {}

    void LoadPrimaryKeys(const ObjectName& table) const;
    // asReferencingTable: the keys by which table refers to other tables; otherwise the keys by
    // which other tables refer to table.
    void LoadReferences(const ObjectName& table, bool asReferencingTable) const;

private:
    const CatalogConnection& m_connection;
    SchemaModel& m_model;
};

} // namespace velkaro

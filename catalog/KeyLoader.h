#pragma once

#include "catalog/SchemaRecords.h"

#include <vector>

namespace velkaro {

class CatalogConnection;

// The on-demand key queries of the property pages and reports. Each returns its own rows, empty
// when the driver failed (the failure goes to the connection's error report).
class KeyLoader final
{
public:
    explicit KeyLoader(const CatalogConnection& connection) : m_connection(connection) {}

    std::vector<PrimaryKeyRecord> LoadPrimaryKeys(const ObjectName& table) const;
    // asReferencingTable: the keys by which table refers to other tables; otherwise the keys by
    // which other tables refer to table.
    std::vector<ReferenceRecord> LoadReferences(const ObjectName& table, bool asReferencingTable) const;

private:
    const CatalogConnection& m_connection;
};

} // namespace velkaro

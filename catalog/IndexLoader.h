#pragma once

#include "catalog/CatalogHost.h"

namespace velkaro {

class CatalogConnection;
class ObjectRecord;
class OdbcStatement;
struct IndexList;
struct LoadJob;

// Rebuilds one table's indexes from SQLStatistics and adds a tree node per index.
class IndexLoader final
{
public:
    explicit IndexLoader(const CatalogConnection& connection) : m_connection(connection) {}

    void Load(const LoadJob& job, CatalogNode objectNode, ObjectRecord& record) const;

private:
    void ReadRows(const LoadJob& job, CatalogNode objectNode, const ObjectRecord& record,
                  OdbcStatement& statement, IndexList& list) const;

    const CatalogConnection& m_connection;
};

} // namespace velkaro

#pragma once

#include "catalog/RecordList.h"
#include "catalog/SearchRecords.h"

#include <QString>
#include <functional>
#include <sql.h>

namespace velkaro {

class CatalogConnection;
class OdbcStatement;

struct SearchObjectListResult
{
    int count = 0;
    int longestNameLength = 0; // for the report layout
    bool stopped = false;      // the run was stopped while the list was read
};

// Reads the search program's object list: every object type, the user's own objects when the
// driver knows the user as an owner, otherwise all owners'.
class SearchObjectListLoader final
{
public:
    SearchObjectListLoader(const CatalogConnection& connection, RecordList<SearchObjectRecord>& objects)
        : m_connection(connection), m_objects(objects)
    {}

    // runStopped, when given, is asked before every row.
    SearchObjectListResult Load(const QString& userName, const std::function<bool()>& runStopped = {}) const;

private:
    bool openList(OdbcStatement& statement, const QString& userName, SQLRETURN& firstFetch) const;
    void takeRow(OdbcStatement& statement, SearchObjectListResult& result) const;

    const CatalogConnection& m_connection;
    RecordList<SearchObjectRecord>& m_objects;
};

} // namespace velkaro

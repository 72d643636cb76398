#pragma once

#include "catalog/RecordList.h"
#include "catalog/SearchRecords.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <functional>
#include <sql.h>

namespace velkaro {

class CatalogConnection;
class OdbcStatement;
class SystemSchemas;

struct SearchObjectListResult
{
    int count = 0;
    int longestNameLength = 0; // for the report layout
    bool stopped = false;      // the run was stopped while the list was read
};

// Which objects the list holds besides the user's own.
struct SearchObjectScope
{
    // The server's own schemas and objects of type SYSTEM TABLE or SYSTEM VIEW.
    bool systemObjects = false;
    // When given, a system object it accepts is kept without systemObjects: one the user named.
    std::function<bool(const SearchObjectRecord&)> named;
};

// Reads the search program's object list: every object type in every schema the login can read;
// where a database is a catalog, only the data source's own database; the server's own objects
// only as the scope allows.
class SearchObjectListLoader final
{
public:
    SearchObjectListLoader(const CatalogConnection& connection, RecordList<SearchObjectRecord>& objects)
        : m_connection(connection), m_objects(objects)
    {}

    // runStopped, when given, is asked before every row.
    SearchObjectListResult Load(const SearchObjectScope& scope,
                                const std::function<bool()>& runStopped = {}) const;

private:
    struct Listing;

    bool OpenList(OdbcStatement& statement, QByteArray catalog, QByteArray owner, QByteArray types,
                  SQLRETURN& firstFetch) const;
    bool ReadList(OdbcStatement& statement, SQLRETURN rc, Listing& listing) const;
    bool Wanted(const SearchObjectRecord& record, const Listing& listing) const;
    void TakeRow(OdbcStatement& statement, Listing& listing) const;

    const CatalogConnection& m_connection;
    RecordList<SearchObjectRecord>& m_objects;
};

} // namespace velkaro

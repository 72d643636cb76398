#include "catalog/SearchObjectListLoader.h"

#include "catalog/CatalogConnection.h"
#include "catalog/CatalogResultColumns.h"
#include "catalog/OdbcStatement.h"
#include "catalog/OwnCatalog.h"
#include "catalog/SystemSchemas.h"

#include <algorithm>
#include <memory>
#include <sqlext.h>

namespace velkaro {

namespace {

// psqlODBC lists the server's own schemas only when these types are asked for.
const char* const kSystemTypes = "SYSTEM TABLE,SYSTEM VIEW";

// A driver without owners may refuse an owner argument, even "%".
bool usesOwners(SQLHDBC hdbc)
{
    SQLUINTEGER usage = 0;
    SQLSMALLINT length = 0;
    return SQL_SUCCEEDED(SQLGetInfo(hdbc, SQL_OWNER_USAGE, &usage, sizeof usage, &length)) && usage != 0;
}

QString identity(const SearchObjectRecord& record)
{
    return record.qualifier + QChar(0) + record.owner + QChar(0) + record.name;
}

} // namespace

struct SearchObjectListLoader::Listing
{
    const SearchObjectScope& scope;
    const std::function<bool()>& runStopped;
    SystemSchemas system;
    QString catalog; // the data source's own database; empty where there is none
    QSet<QString> seen;
    SearchObjectListResult result;
};

SearchObjectListResult SearchObjectListLoader::Load(const SearchObjectScope& scope,
                                                    const std::function<bool()>& runStopped) const
{
    m_objects.Clear();
    const SQLHDBC hdbc = m_connection.Hdbc();
    Listing listing{
        scope, runStopped, SystemSchemas::ForConnection(hdbc), OwnCatalog::ForConnection(hdbc).Name(),
        {},    {}};
    OdbcStatement statement(hdbc, m_connection.GetStatementCancel());
    if (!statement.IsValid())
        return listing.result;
    // "%" names every owner; psqlODBC reads an owner left out as the current schema.
    const QByteArray allOwners = usesOwners(hdbc) ? QByteArrayLiteral("%") : QByteArray();
    SQLRETURN rc = SQL_NO_DATA;
    if (!OpenList(statement, listing.catalog.toUtf8(), allOwners, QByteArray(), rc) &&
        !OpenList(statement, QByteArray(), QByteArray(), QByteArray(), rc)) {
        m_connection.ReportError(statement.Handle(), true);
        return listing.result;
    }
    if (!ReadList(statement, rc, listing) || !(scope.systemObjects || scope.named))
        return listing.result;
    // The server's own objects: in databases of their own where a database is a catalog (a driver
    // with owners has listed every catalog already), and listed by psqlODBC only when their types
    // are asked for. A call that fails adds nothing.
    const bool databasesAreCatalogs = !listing.catalog.isEmpty() && allOwners.isEmpty();
    if (databasesAreCatalogs && OpenList(statement, QByteArray(), allOwners, QByteArray(), rc) &&
        !ReadList(statement, rc, listing))
        return listing.result;
    if (OpenList(statement, QByteArray(), allOwners, QByteArray(kSystemTypes), rc))
        ReadList(statement, rc, listing);
    return listing.result;
}

bool SearchObjectListLoader::OpenList(OdbcStatement& statement, QByteArray catalog, QByteArray owner,
                                      QByteArray types, SQLRETURN& firstFetch) const
{
    statement.CloseCursor();
    const SQLRETURN rc = statement.Call([&] {
        return SQLTables(statement.Handle(), OdbcStatement::Argument(catalog),
                         OdbcStatement::ArgumentLength(catalog), OdbcStatement::Argument(owner),
                         OdbcStatement::ArgumentLength(owner), nullptr, 0, OdbcStatement::Argument(types),
                         OdbcStatement::ArgumentLength(types));
    });
    if (!IsSuccess(rc))
        return false;
    firstFetch = statement.Fetch();
    return true;
}

// False when the run was stopped.
bool SearchObjectListLoader::ReadList(OdbcStatement& statement, SQLRETURN rc, Listing& listing) const
{
    for (; IsSuccess(rc); rc = statement.Fetch()) {
        if (listing.runStopped && listing.runStopped()) {
            listing.result.stopped = true;
            return false;
        }
        TakeRow(statement, listing);
    }
    return true;
}

bool SearchObjectListLoader::Wanted(const SearchObjectRecord& record, const Listing& listing) const
{
    if (SystemSchemas::IsSystemType(record.type) || listing.system.Contains(record.Container()))
        return listing.scope.systemObjects || (listing.scope.named && listing.scope.named(record));
    // Another database the login can see is another data source.
    return listing.catalog.isEmpty() || record.qualifier.isEmpty() || record.qualifier == listing.catalog;
}

void SearchObjectListLoader::TakeRow(OdbcStatement& statement, Listing& listing) const
{
    auto record = std::make_shared<SearchObjectRecord>();
    record->qualifier = statement.Text(TablesQualifier);
    record->owner = statement.Text(TablesOwner);
    record->name = statement.Text(TablesName);
    record->type = statement.Text(TablesType).toUpper();
    if (!Wanted(*record, listing) || listing.seen.contains(identity(*record)))
        return;
    listing.seen.insert(identity(*record));
    SearchObjectListResult& result = listing.result;
    result.longestNameLength = std::max<int>(result.longestNameLength, record->name.size());
    ++result.count;
    m_objects.Append(std::move(record));
}

} // namespace velkaro

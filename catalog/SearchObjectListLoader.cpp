#include "catalog/SearchObjectListLoader.h"

#include "catalog/CatalogConnection.h"
#include "catalog/OdbcStatement.h"

#include <algorithm>
#include <memory>
#include <sqlext.h>

namespace velkaro {

namespace {

SQLRETURN callTables(OdbcStatement& statement, QByteArray owner)
{
    return statement.call([&] {
        return SQLTables(statement.handle(), nullptr, 0, OdbcStatement::argument(owner),
                         OdbcStatement::argumentLength(owner), nullptr, 0, nullptr, 0);
    });
}

} // namespace

SearchObjectListResult SearchObjectListLoader::Load(const QString& userName,
                                                    const std::function<bool()>& runStopped) const
{
    m_objects.clear();
    SearchObjectListResult result;
    OdbcStatement statement(m_connection.hdbc(), m_connection.statementCancel());
    if (!statement.isValid())
        return result;
    SQLRETURN rc = SQL_NO_DATA;
    if (!openList(statement, userName, rc))
        return result;
    for (; CatalogConnection::IsSuccess(rc); rc = statement.fetch()) {
        if (runStopped && runStopped()) {
            result.stopped = true;
            return result;
        }
        takeRow(statement, result);
    }
    return result;
}

// Opens the list and fetches its first row. The user's own objects come first choice; when the
// driver rejects the owner or knows no objects under it (a login name that is no schema), every
// owner's objects are read instead.
bool SearchObjectListLoader::openList(OdbcStatement& statement, const QString& userName,
                                      SQLRETURN& firstFetch) const
{
    if (!userName.isEmpty() &&
        CatalogConnection::IsSuccess(callTables(statement, m_connection.pattern(userName)))) {
        firstFetch = statement.fetch();
        if (firstFetch != SQL_NO_DATA)
            return true;
    }
    statement.closeCursor();
    if (!CatalogConnection::IsSuccess(callTables(statement, QByteArray()))) {
        m_connection.reportError(statement.handle(), true);
        return false;
    }
    firstFetch = statement.fetch();
    return true;
}

void SearchObjectListLoader::takeRow(OdbcStatement& statement, SearchObjectListResult& result) const
{
    auto record = std::make_shared<SearchObjectRecord>();
    record->qualifier = statement.text(1);
    record->owner = statement.text(2);
    record->name = statement.text(3);
    record->type = statement.text(4).toUpper();
    result.longestNameLength = std::max<int>(result.longestNameLength, record->name.size());
    ++result.count;
    m_objects.append(std::move(record));
}

} // namespace velkaro

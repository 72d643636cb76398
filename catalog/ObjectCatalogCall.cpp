#include "catalog/ObjectCatalogCall.h"

#include "catalog/CatalogCalls.h"
#include "catalog/OdbcStatement.h"
#include "common/OdbcSuccess.h"

namespace velkaro {

namespace {

ObjectName withOwner(const ObjectName& object, const QString& owner)
{
    return {object.qualifier, owner, object.name};
}

} // namespace

ObjectCatalogCall ObjectCatalogCall::Open(OdbcStatement& statement, const QStringList& owners,
                                          const std::function<SQLRETURN(const QString& owner)>& call)
{
    ObjectCatalogCall result;
    if (!statement.IsValid()) {
        result.firstFetch = SQL_ERROR;
        return result;
    }
    for (qsizetype i = 0; i < owners.size(); ++i) {
        statement.CloseCursor();
        if (!IsSuccess(call(owners.at(i))))
            continue;
        result.succeeded = true;
        result.firstFetch = statement.Fetch();
        if (result.firstFetch != SQL_NO_DATA)
            break;
    }
    if (!result.succeeded)
        result.firstFetch = SQL_ERROR;
    return result;
}

QStringList ObjectCatalogCall::OwnerCandidates(const QString& listedOwner, const QString& loginUser)
{
    if (!listedOwner.isEmpty())
        return {listedOwner};
    if (!loginUser.isEmpty())
        return {loginUser, QString()};
    return {QString()};
}

ObjectCatalogCall ObjectCatalogCall::Columns(OdbcStatement& statement, const CatalogConnection& connection,
                                             const ObjectName& object, const QStringList& owners)
{
    return Open(statement, owners, [&](const QString& owner) {
        return CallColumns(statement, connection, withOwner(object, owner));
    });
}

ObjectCatalogCall ObjectCatalogCall::Statistics(OdbcStatement& statement, const ObjectName& table,
                                                const QStringList& owners, SQLUSMALLINT unique,
                                                SQLUSMALLINT accuracy)
{
    return Open(statement, owners, [&](const QString& owner) {
        return CallStatistics(statement, withOwner(table, owner), unique, accuracy);
    });
}

ObjectCatalogCall ObjectCatalogCall::PrimaryKeys(OdbcStatement& statement, const ObjectName& table,
                                                 const QStringList& owners)
{
    return Open(statement, owners,
                [&](const QString& owner) { return CallPrimaryKeys(statement, withOwner(table, owner)); });
}

} // namespace velkaro

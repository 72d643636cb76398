#include "catalog/CatalogCalls.h"

#include "catalog/CatalogConnection.h"
#include "catalog/OdbcStatement.h"

namespace velkaro {

namespace {

using S = OdbcStatement;

// The three ordinary (non-pattern) name arguments of a catalog call.
struct NameArguments
{
    explicit NameArguments(const ObjectName& name)
        : qualifier(name.qualifier.toUtf8()), owner(name.owner.toUtf8()), table(name.name.toUtf8())
    {}
    QByteArray qualifier;
    QByteArray owner;
    QByteArray table;
};

} // namespace

SQLRETURN CallColumns(OdbcStatement& statement, const CatalogConnection& connection, const ObjectName& object)
{
    QByteArray qualifier = object.qualifier.toUtf8();
    QByteArray owner = connection.pattern(object.owner);
    QByteArray table = connection.pattern(object.name);
    return statement.call([&] {
        return SQLColumns(statement.handle(), S::argument(qualifier), S::argumentLength(qualifier),
                          S::argument(owner), S::argumentLength(owner), S::argument(table),
                          S::argumentLength(table), nullptr, 0);
    });
}

SQLRETURN CallStatistics(OdbcStatement& statement, const ObjectName& table, SQLUSMALLINT unique,
                         SQLUSMALLINT accuracy)
{
    NameArguments name(table);
    return statement.call([&] {
        return SQLStatistics(statement.handle(), S::argument(name.qualifier),
                             S::argumentLength(name.qualifier), S::argument(name.owner),
                             S::argumentLength(name.owner), S::argument(name.table),
                             S::argumentLength(name.table), unique, accuracy);
    });
}

SQLRETURN CallPrimaryKeys(OdbcStatement& statement, const ObjectName& table)
{
    NameArguments name(table);
    return statement.call([&] {
        return SQLPrimaryKeys(statement.handle(), S::argument(name.qualifier),
                              S::argumentLength(name.qualifier), S::argument(name.owner),
                              S::argumentLength(name.owner), S::argument(name.table),
                              S::argumentLength(name.table));
    });
}

SQLRETURN CallForeignKeys(OdbcStatement& statement, const ObjectName& primary, const ObjectName& foreign)
{
    NameArguments p(primary);
    NameArguments f(foreign);
    return statement.call([&] {
        return SQLForeignKeys(statement.handle(), S::argument(p.qualifier), S::argumentLength(p.qualifier),
                              S::argument(p.owner), S::argumentLength(p.owner), S::argument(p.table),
                              S::argumentLength(p.table), S::argument(f.qualifier),
                              S::argumentLength(f.qualifier), S::argument(f.owner),
                              S::argumentLength(f.owner), S::argument(f.table), S::argumentLength(f.table));
    });
}

} // namespace velkaro

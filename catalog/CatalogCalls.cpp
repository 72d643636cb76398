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
    QByteArray owner = connection.Pattern(object.owner);
    QByteArray table = connection.Pattern(object.name);
    return statement.Call([&] {
        return SQLColumns(statement.Handle(), S::Argument(qualifier), S::ArgumentLength(qualifier),
                          S::Argument(owner), S::ArgumentLength(owner), S::Argument(table),
                          S::ArgumentLength(table), nullptr, 0);
    });
}

SQLRETURN CallStatistics(OdbcStatement& statement, const ObjectName& table, SQLUSMALLINT unique,
                         SQLUSMALLINT accuracy)
{
    NameArguments name(table);
    return statement.Call([&] {
        return SQLStatistics(statement.Handle(), S::Argument(name.qualifier),
                             S::ArgumentLength(name.qualifier), S::Argument(name.owner),
                             S::ArgumentLength(name.owner), S::Argument(name.table),
                             S::ArgumentLength(name.table), unique, accuracy);
    });
}

SQLRETURN CallPrimaryKeys(OdbcStatement& statement, const ObjectName& table)
{
    NameArguments name(table);
    return statement.Call([&] {
        return SQLPrimaryKeys(statement.Handle(), S::Argument(name.qualifier),
                              S::ArgumentLength(name.qualifier), S::Argument(name.owner),
                              S::ArgumentLength(name.owner), S::Argument(name.table),
                              S::ArgumentLength(name.table));
    });
}

SQLRETURN CallForeignKeys(OdbcStatement& statement, const ObjectName& primary, const ObjectName& foreign)
{
    NameArguments p(primary);
    NameArguments f(foreign);
    return statement.Call([&] {
        return SQLForeignKeys(statement.Handle(), S::Argument(p.qualifier), S::ArgumentLength(p.qualifier),
                              S::Argument(p.owner), S::ArgumentLength(p.owner), S::Argument(p.table),
                              S::ArgumentLength(p.table), S::Argument(f.qualifier),
                              S::ArgumentLength(f.qualifier), S::Argument(f.owner),
                              S::ArgumentLength(f.owner), S::Argument(f.table), S::ArgumentLength(f.table));
    });
}

} // namespace velkaro

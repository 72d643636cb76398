#include "catalog/KeyLoader.h"

#include "catalog/CatalogConnection.h"
#include "catalog/OdbcStatement.h"
#include "catalog/SchemaModel.h"

#include <sqlext.h>

namespace velkaro {

namespace {

enum PrimaryKeysResult : SQLUSMALLINT
{
    PkColumnName = 4,
    PkKeySeq = 5,
    PkName = 6
};

enum ForeignKeysResult : SQLUSMALLINT
{
    FkPkTableName = 3,
    FkPkColumnName = 4,
    FkFkTableName = 7,
    FkFkColumnName = 8
};

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

SQLRETURN callForeignKeys(OdbcStatement& statement, NameArguments& primary, NameArguments& foreign)
{
    using S = OdbcStatement;
    return SQLForeignKeys(
        statement.handle(), S::argument(primary.qualifier), S::argumentLength(primary.qualifier),
        S::argument(primary.owner), S::argumentLength(primary.owner), S::argument(primary.table),
        S::argumentLength(primary.table), S::argument(foreign.qualifier),
        S::argumentLength(foreign.qualifier), S::argument(foreign.owner), S::argumentLength(foreign.owner),
        S::argument(foreign.table), S::argumentLength(foreign.table));
}

} // namespace

void KeyLoader::LoadPrimaryKeys(const ObjectName& table) const
{
    m_model.setPrimaryKeys({});
    OdbcStatement statement(m_connection.hdbc());
    if (!statement.isValid())
        return;
    NameArguments name(table);
    using S = OdbcStatement;
    const SQLRETURN rc =
        SQLPrimaryKeys(statement.handle(), S::argument(name.qualifier), S::argumentLength(name.qualifier),
                       S::argument(name.owner), S::argumentLength(name.owner), S::argument(name.table),
                       S::argumentLength(name.table));
    if (!IsSuccess(rc)) {
        m_connection.reportError(statement.handle());
        return;
    }
    SchemaModel::PrimaryKeys keys;
    while (IsSuccess(statement.fetch())) {
        PrimaryKeyRecord key;
        key.columnName = statement.text(PkColumnName);
        key.keySeq = statement.numberOr(PkKeySeq, 0);
        key.keyName = statement.text(PkName);
        keys.push_back(std::move(key));
    }
    m_model.setPrimaryKeys(std::move(keys));
}

void KeyLoader::LoadReferences(const ObjectName& table, bool asReferencingTable) const
{
    m_model.setReferences({});
    OdbcStatement statement(m_connection.hdbc());
    if (!statement.isValid())
        return;
    NameArguments named(table);
    NameArguments open(ObjectName{});
    const SQLRETURN rc = asReferencingTable ? callForeignKeys(statement, open, named)
                                            : callForeignKeys(statement, named, open);
    if (!IsSuccess(rc)) {
        m_connection.reportError(statement.handle());
        return;
    }
    SchemaModel::References references;
    while (IsSuccess(statement.fetch())) {
        ReferenceRecord reference;
        const QString primaryTable = statement.text(FkPkTableName);
        reference.primaryColumn = statement.text(FkPkColumnName);
        const QString foreignTable = statement.text(FkFkTableName);
        reference.foreignColumn = statement.text(FkFkColumnName);
        reference.otherTable = asReferencingTable ? primaryTable : foreignTable;
        references.push_back(std::move(reference));
    }
    m_model.setReferences(std::move(references));
}

} // namespace velkaro

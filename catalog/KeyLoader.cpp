#include "catalog/KeyLoader.h"

#include "catalog/CatalogCalls.h"
#include "catalog/CatalogConnection.h"
#include "catalog/CatalogResultColumns.h"
#include "catalog/OdbcStatement.h"

namespace velkaro {

std::vector<PrimaryKeyRecord> KeyLoader::LoadPrimaryKeys(const ObjectName& table) const
{
    OdbcStatement statement(m_connection.hdbc());
    if (!statement.isValid())
        return {};
    if (!IsSuccess(CallPrimaryKeys(statement, table))) {
        m_connection.reportError(statement.handle());
        return {};
    }
    std::vector<PrimaryKeyRecord> keys;
    while (IsSuccess(statement.fetch())) {
        PrimaryKeyRecord key;
        key.columnName = statement.text(PkColumnName);
        key.keySeq = statement.numberOr(PkKeySeq, 0);
        key.keyName = statement.text(PkName);
        keys.push_back(std::move(key));
    }
    return keys;
}

std::vector<ReferenceRecord> KeyLoader::LoadReferences(const ObjectName& table, bool asReferencingTable) const
{
    OdbcStatement statement(m_connection.hdbc());
    if (!statement.isValid())
        return {};
    const ObjectName open;
    const SQLRETURN rc = asReferencingTable ? CallForeignKeys(statement, open, table)
                                            : CallForeignKeys(statement, table, open);
    if (!IsSuccess(rc)) {
        m_connection.reportError(statement.handle());
        return {};
    }
    std::vector<ReferenceRecord> references;
    while (IsSuccess(statement.fetch())) {
        ReferenceRecord reference;
        const QString primaryTable = statement.text(FkPkTableName);
        reference.primaryColumn = statement.text(FkPkColumnName);
        const QString foreignTable = statement.text(FkFkTableName);
        reference.foreignColumn = statement.text(FkFkColumnName);
        reference.otherTable = asReferencingTable ? primaryTable : foreignTable;
        references.push_back(std::move(reference));
    }
    return references;
}

} // namespace velkaro

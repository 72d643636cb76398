#include "catalog/KeyLoader.h"

#include "catalog/CatalogCalls.h"
#include "catalog/CatalogConnection.h"
#include "catalog/CatalogResultColumns.h"
#include "catalog/OdbcStatement.h"

namespace velkaro {

std::vector<PrimaryKeyRecord> KeyLoader::LoadPrimaryKeys(const ObjectName& table) const
{
    OdbcStatement statement(m_connection.Hdbc());
    if (!statement.IsValid())
        return {};
    if (!IsSuccess(CallPrimaryKeys(statement, table))) {
        m_connection.ReportError(statement.Handle());
        return {};
    }
    std::vector<PrimaryKeyRecord> keys;
    while (IsSuccess(statement.Fetch())) {
        PrimaryKeyRecord key;
        key.columnName = statement.Text(PkColumnName);
        key.keySeq = statement.NumberOr(PkKeySeq, 0);
        key.keyName = statement.Text(PkName);
        keys.push_back(std::move(key));
    }
    return keys;
}

std::vector<ReferenceRecord> KeyLoader::LoadReferences(const ObjectName& table, bool asReferencingTable) const
{
    OdbcStatement statement(m_connection.Hdbc());
    if (!statement.IsValid())
        return {};
    const ObjectName open;
    const SQLRETURN rc = asReferencingTable ? CallForeignKeys(statement, open, table)
                                            : CallForeignKeys(statement, table, open);
    if (!IsSuccess(rc)) {
        m_connection.ReportError(statement.Handle());
        return {};
    }
    std::vector<ReferenceRecord> references;
    while (IsSuccess(statement.Fetch())) {
        ReferenceRecord reference;
        const QString primaryTable = statement.Text(FkPkTableName);
        reference.primaryColumn = statement.Text(FkPkColumnName);
        const QString foreignTable = statement.Text(FkFkTableName);
        reference.foreignColumn = statement.Text(FkFkColumnName);
        reference.otherTable = asReferencingTable ? primaryTable : foreignTable;
        references.push_back(std::move(reference));
    }
    return references;
}

} // namespace velkaro

#include "search/engine/TableKey.h"

#include "catalog/CatalogConnection.h"
#include "catalog/CatalogResultColumns.h"
#include "catalog/ObjectCatalogCall.h"
#include "catalog/OdbcStatement.h"
#include "catalog/SearchRecords.h"

#include <QHash>
#include <QMap>
#include <sqlext.h>

namespace velkaro {

namespace {

struct ColumnFacts
{
    TableKey::Column column;
    bool notNull = false;
};

// Types whose text form compares and orders as the value does. Floating point loses digits as
// text; binary values come back as hex; times may lose their fractions.
bool pageable(const TableKey::Column& column)
{
    switch (column.dataType) {
    case SQL_TINYINT:
    case SQL_SMALLINT:
    case SQL_INTEGER:
    case SQL_BIGINT:
    case SQL_DECIMAL:
    case SQL_NUMERIC:
    case SQL_DATE:
    case SQL_TYPE_DATE:
        return true;
    case SQL_CHAR:
    case SQL_VARCHAR:
    case SQL_WCHAR:
    case SQL_WVARCHAR:
        return column.size > 0 && column.size <= TableKey::kMaxTextLength;
    default:
        return false;
    }
}

class KeyCatalog final
{
public:
    KeyCatalog(const CatalogConnection& catalog, const SearchObjectRecord& object, const QStringList& owners)
        : m_catalog(catalog), m_object{object.qualifier, object.owner, object.name}, m_owners(owners)
    {}

    QStringList primaryKey()
    {
        OdbcStatement statement(m_catalog.hdbc(), m_catalog.statementCancel());
        QMap<int, QString> columns;
        SQLRETURN rc = opened(ObjectCatalogCall::PrimaryKeys(statement, m_object, m_owners));
        // SQLGetData reads in ascending column order.
        for (; IsSuccess(rc); rc = statement.fetch()) {
            const QString name = statement.text(PkColumnName);
            columns.insert(statement.numberOr(PkKeySeq, 0), name);
        }
        return columns.values();
    }

    // Each unique index's columns, in index order.
    QList<QStringList> uniqueIndexes()
    {
        OdbcStatement statement(m_catalog.hdbc(), m_catalog.statementCancel());
        QMap<QString, QMap<int, QString>> indexes;
        SQLRETURN rc =
            opened(ObjectCatalogCall::Statistics(statement, m_object, m_owners, SQL_INDEX_UNIQUE, SQL_QUICK));
        for (; IsSuccess(rc); rc = statement.fetch()) {
            const bool unique = statement.numberOr(StatNonUnique, SQL_TRUE) == SQL_FALSE;
            const QString index = statement.text(StatIndexName);
            if (!unique || statement.numberOr(StatType, SQL_TABLE_STAT) == SQL_TABLE_STAT)
                continue;
            const int position = statement.numberOr(StatOrdinalPosition, 0);
            indexes[index].insert(position, statement.text(StatColumnName));
        }
        QList<QStringList> result;
        for (const QMap<int, QString>& columns : indexes)
            result.append(columns.values());
        return result;
    }

    QHash<QString, ColumnFacts> columns()
    {
        OdbcStatement statement(m_catalog.hdbc(), m_catalog.statementCancel());
        QHash<QString, ColumnFacts> facts;
        SQLRETURN rc = opened(ObjectCatalogCall::Columns(statement, m_catalog, m_object, m_owners));
        for (; IsSuccess(rc); rc = statement.fetch()) {
            ColumnFacts column;
            column.column.name = statement.text(ColName);
            column.column.dataType = SQLSMALLINT(statement.numberOr(ColDataType, 0));
            column.column.size = SQLULEN(qMax(statement.numberOr(ColPrecision, 0), 0));
            column.column.digits = SQLSMALLINT(statement.numberOr(ColScale, 0));
            column.notNull = statement.numberOr(ColNullable, SQL_NULLABLE_UNKNOWN) == SQL_NO_NULLS;
            facts.insert(column.column.name, column);
        }
        return facts;
    }

private:
    static SQLRETURN opened(const ObjectCatalogCall& call)
    {
        return call.succeeded ? call.firstFetch : SQL_ERROR;
    }

    const CatalogConnection& m_catalog;
    const ObjectName m_object;
    const QStringList& m_owners;
};

// The key of those columns, when every one is known, pageable and, unless the key is primary,
// declared NOT NULL.
std::optional<TableKey> keyOf(const QStringList& names, const QHash<QString, ColumnFacts>& facts,
                              bool primary)
{
    if (names.isEmpty())
        return std::nullopt;
    TableKey key;
    for (const QString& name : names) {
        const auto found = facts.constFind(name);
        if (found == facts.cend() || !pageable(found->column) || (!primary && !found->notNull))
            return std::nullopt;
        key.columns.push_back(found->column);
    }
    return key;
}

} // namespace

std::optional<TableKey> TableKey::Find(const CatalogConnection& catalog, const SearchObjectRecord& object,
                                       const QStringList& owners)
{
    KeyCatalog keyCatalog(catalog, object, owners);
    const QHash<QString, ColumnFacts> facts = keyCatalog.columns();
    if (std::optional<TableKey> key = keyOf(keyCatalog.primaryKey(), facts, true))
        return key;
    // The narrowest usable index reads fastest.
    std::optional<TableKey> best;
    for (const QStringList& index : keyCatalog.uniqueIndexes()) {
        std::optional<TableKey> key = keyOf(index, facts, false);
        if (key && (!best || key->columns.size() < best->columns.size()))
            best = std::move(key);
    }
    return best;
}

} // namespace velkaro

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

    QStringList PrimaryKey()
    {
        OdbcStatement statement(m_catalog.Hdbc(), m_catalog.GetStatementCancel());
        QMap<int, QString> columns;
        SQLRETURN rc = Opened(ObjectCatalogCall::PrimaryKeys(statement, m_object, m_owners));
        // SQLGetData reads in ascending column order.
        for (; IsSuccess(rc); rc = statement.Fetch()) {
            const QString name = statement.Text(PkColumnName);
            columns.insert(statement.NumberOr(PkKeySeq, 0), name);
        }
        return columns.values();
    }

    // Each unique index's columns, in index order.
    QList<QStringList> UniqueIndexes()
    {
        OdbcStatement statement(m_catalog.Hdbc(), m_catalog.GetStatementCancel());
        QMap<QString, QMap<int, QString>> indexes;
        SQLRETURN rc =
            Opened(ObjectCatalogCall::Statistics(statement, m_object, m_owners, SQL_INDEX_UNIQUE, SQL_QUICK));
        for (; IsSuccess(rc); rc = statement.Fetch()) {
            const bool unique = statement.NumberOr(StatNonUnique, SQL_TRUE) == SQL_FALSE;
            const QString index = statement.Text(StatIndexName);
            if (!unique || statement.NumberOr(StatType, SQL_TABLE_STAT) == SQL_TABLE_STAT)
                continue;
            const int position = statement.NumberOr(StatOrdinalPosition, 0);
            indexes[index].insert(position, statement.Text(StatColumnName));
        }
        QList<QStringList> result;
        for (const QMap<int, QString>& columns : indexes)
            result.append(columns.values());
        return result;
    }

    QHash<QString, ColumnFacts> Columns()
    {
        OdbcStatement statement(m_catalog.Hdbc(), m_catalog.GetStatementCancel());
        QHash<QString, ColumnFacts> facts;
        SQLRETURN rc = Opened(ObjectCatalogCall::Columns(statement, m_catalog, m_object, m_owners));
        for (; IsSuccess(rc); rc = statement.Fetch()) {
            ColumnFacts column;
            column.column.name = statement.Text(ColName);
            column.column.dataType = SQLSMALLINT(statement.NumberOr(ColDataType, 0));
            column.column.size = SQLULEN(qMax(statement.NumberOr(ColPrecision, 0), 0));
            column.column.digits = SQLSMALLINT(statement.NumberOr(ColScale, 0));
            column.notNull = statement.NumberOr(ColNullable, SQL_NULLABLE_UNKNOWN) == SQL_NO_NULLS;
            facts.insert(column.column.name, column);
        }
        return facts;
    }

private:
    static SQLRETURN Opened(const ObjectCatalogCall& call)
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
    const QHash<QString, ColumnFacts> facts = keyCatalog.Columns();
    if (std::optional<TableKey> key = keyOf(keyCatalog.PrimaryKey(), facts, true))
        return key;
    // The narrowest usable index reads fastest.
    std::optional<TableKey> best;
    for (const QStringList& index : keyCatalog.UniqueIndexes()) {
        std::optional<TableKey> key = keyOf(index, facts, false);
        if (key && (!best || key->columns.size() < best->columns.size()))
            best = std::move(key);
    }
    return best;
}

} // namespace velkaro

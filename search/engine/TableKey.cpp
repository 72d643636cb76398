#include "search/engine/TableKey.h"

#include "catalog/CatalogConnection.h"
#include "catalog/OdbcStatement.h"
#include "catalog/SearchRecords.h"
#include "search/engine/ObjectCatalogCall.h"

#include <QHash>
#include <QMap>
#include <sqlext.h>

namespace velkaro {

namespace {

// Result columns by position: ODBC 2 and 3 name them differently.
enum PrimaryKeysResult : SQLUSMALLINT
{
    KeyColumnName = 4,
    KeySequence = 5
};

enum StatisticsResult : SQLUSMALLINT
{
    NonUnique = 4,
    IndexName = 6,
    IndexType = 7,
    OrdinalPosition = 8,
    IndexColumnName = 9
};

enum ColumnsResult : SQLUSMALLINT
{
    ColumnName = 4,
    DataType = 5,
    ColumnSize = 7,
    DecimalDigits = 9,
    Nullable = 11
};

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
        : m_catalog(catalog), m_object(object), m_owners(owners), m_qualifier(object.qualifier.toUtf8()),
          m_table(object.name.toUtf8())
    {}

    QStringList primaryKey()
    {
        OdbcStatement statement(m_catalog.hdbc(), m_catalog.statementCancel());
        QMap<int, QString> columns;
        SQLRETURN rc = open(statement, [&](QByteArray& owner) {
            return SQLPrimaryKeys(statement.handle(), OdbcStatement::argument(m_qualifier),
                                  OdbcStatement::argumentLength(m_qualifier), OdbcStatement::argument(owner),
                                  OdbcStatement::argumentLength(owner), OdbcStatement::argument(m_table),
                                  OdbcStatement::argumentLength(m_table));
        });
        // SQLGetData reads in ascending column order.
        for (; IsSuccess(rc); rc = statement.fetch()) {
            const QString name = statement.text(KeyColumnName);
            columns.insert(statement.numberOr(KeySequence, 0), name);
        }
        return columns.values();
    }

    // Each unique index's columns, in index order.
    QList<QStringList> uniqueIndexes()
    {
        OdbcStatement statement(m_catalog.hdbc(), m_catalog.statementCancel());
        QMap<QString, QMap<int, QString>> indexes;
        SQLRETURN rc = open(statement, [&](QByteArray& owner) {
            return SQLStatistics(statement.handle(), OdbcStatement::argument(m_qualifier),
                                 OdbcStatement::argumentLength(m_qualifier), OdbcStatement::argument(owner),
                                 OdbcStatement::argumentLength(owner), OdbcStatement::argument(m_table),
                                 OdbcStatement::argumentLength(m_table), SQL_INDEX_UNIQUE, SQL_QUICK);
        });
        for (; IsSuccess(rc); rc = statement.fetch()) {
            const bool unique = statement.numberOr(NonUnique, SQL_TRUE) == SQL_FALSE;
            const QString index = statement.text(IndexName);
            if (!unique || statement.numberOr(IndexType, SQL_TABLE_STAT) == SQL_TABLE_STAT)
                continue;
            const int position = statement.numberOr(OrdinalPosition, 0);
            indexes[index].insert(position, statement.text(IndexColumnName));
        }
        QList<QStringList> result;
        for (const QMap<int, QString>& columns : indexes)
            result.append(columns.values());
        return result;
    }

    QHash<QString, ColumnFacts> columns()
    {
        OdbcStatement statement(m_catalog.hdbc(), m_catalog.statementCancel());
        QByteArray table = m_catalog.pattern(m_object.name);
        QHash<QString, ColumnFacts> facts;
        SQLRETURN rc = open(statement, [&](QByteArray& owner) {
            QByteArray ownerPattern = m_catalog.pattern(QString::fromUtf8(owner));
            return SQLColumns(statement.handle(), OdbcStatement::argument(m_qualifier),
                              OdbcStatement::argumentLength(m_qualifier),
                              OdbcStatement::argument(ownerPattern),
                              OdbcStatement::argumentLength(ownerPattern), OdbcStatement::argument(table),
                              OdbcStatement::argumentLength(table), nullptr, 0);
        });
        for (; IsSuccess(rc); rc = statement.fetch()) {
            ColumnFacts column;
            column.column.name = statement.text(ColumnName);
            column.column.dataType = SQLSMALLINT(statement.numberOr(DataType, 0));
            column.column.size = SQLULEN(qMax(statement.numberOr(ColumnSize, 0), 0));
            column.column.digits = SQLSMALLINT(statement.numberOr(DecimalDigits, 0));
            column.notNull = statement.numberOr(Nullable, SQL_NULLABLE_UNKNOWN) == SQL_NO_NULLS;
            facts.insert(column.column.name, column);
        }
        return facts;
    }

private:
    SQLRETURN open(OdbcStatement& statement, const std::function<SQLRETURN(QByteArray& owner)>& call)
    {
        if (!statement.isValid())
            return SQL_ERROR;
        const ObjectCatalogCall opened =
            ObjectCatalogCall::Open(statement, m_owners, [&](const QString& ownerName) {
                QByteArray owner = ownerName.toUtf8();
                return call(owner);
            });
        return opened.succeeded ? opened.firstFetch : SQL_ERROR;
    }

    const CatalogConnection& m_catalog;
    const SearchObjectRecord& m_object;
    const QStringList& m_owners;
    QByteArray m_qualifier;
    QByteArray m_table;
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

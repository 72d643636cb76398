#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace velkaro {

// A statistic the driver did not give (reported as 0 or NULL).
inline constexpr int NOT_AVAILABLE = -11;

// One column of an object, one row of SQLColumns, with its display texts already made.
struct ColumnRecord
{
    QString name;
    QString typeName;
    QString nullability; // "NOT NULL", "NULL" or empty when the driver does not know
    QString radix;       // decimal, or "N/A"
    QString size;        // "", "precision" or "precision,scale"
    QString remarks;
};

// One index: the run of SQLStatistics rows that share an index name.
struct IndexRecord
{
    QString name;
    QString uniqueness; // "UNIQUE ", "NOT UNIQUE " or empty
    QStringList columnNames;
};

struct PrimaryKeyRecord
{
    QString columnName;
    QString keyName;
    int keySeq = 0;
};

struct ReferenceRecord
{
    QString otherTable;
    QString foreignColumn;
    QString primaryColumn;
};

// An object's columns as one published unit, with the widths the report layout needs.
struct ColumnList
{
    std::vector<ColumnRecord> columns;
    int maxColumnNameLen = 0;
    int maxColumnTypeLen = 0;
};

struct IndexList
{
    std::vector<IndexRecord> indexes;
    int maxIndexNameLen = 0; // longest index name or index column name
};

struct TableStatistics
{
    int pages = NOT_AVAILABLE;
    int cardinality = NOT_AVAILABLE;
};

struct IndexStatistics
{
    QString filter;
    int cardinality = NOT_AVAILABLE;
    int pages = NOT_AVAILABLE;
};

// How a catalog call names one object. Empty parts are passed as "not given".
struct ObjectName
{
    QString qualifier;
    QString owner;
    QString name;

    // What holds the object: its owner (schema), or its qualifier where the DBMS has no owners.
    const QString& Container() const { return owner.isEmpty() ? qualifier : owner; }
    // "container.name", or the bare name where nothing holds the object.
    QString QualifiedName() const
    {
        return Container().isEmpty() ? name : Container() + QLatin1Char('.') + name;
    }
    bool operator==(const ObjectName&) const = default;
    // The same object: the same container and name (a qualifier left out where there are owners
    // still names it).
    bool SameObject(const ObjectName& other) const
    {
        return name == other.name && Container() == other.Container();
    }
};

} // namespace velkaro

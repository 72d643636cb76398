#pragma once

#include "catalog/SchemaRecords.h"
#include "explorer/core/DatabaseEntry.h"

#include <QStringList>
#include <array>
#include <vector>

namespace velkaro {

// The three key lists of a table's sheet: their columns, and the query a page's thread runs.
class KeyListQuery final
{
public:
    enum class Kind
    {
        PrimaryKeys,          // "Primary Keys"
        ReferencesToOthers,   // "Foreign Keys"
        ReferencesFromOthers, // "Reference Foreign Keys"
    };
    using Row = std::array<QString, 3>;

    struct Result
    {
        std::vector<Row> rows; // in the driver's order
        bool databaseInUse = false;
        QString failure; // the driver's message of a failed call
    };

    explicit KeyListQuery(Kind kind) : m_kind(kind) {}

    QStringList Headers() const;
    // The three widths for a list whose client area is clientWidth wide.
    std::array<int, 3> Widths(int clientWidth) const;
    // The row shown until the result comes, and the one shown for a database in use.
    static Row MessageRow(const QString& text) { return {QString(), text, QString()}; }

    // On a page's thread: tests the database's in-use flag once, then asks the driver.
    Result Run(const DatabaseEntry& entry, const ObjectName& table) const;

private:
    std::vector<Row> Rows(CDbSession& session, const ObjectName& table, QString& failure) const;

    Kind m_kind;
};

} // namespace velkaro

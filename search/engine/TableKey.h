#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <sql.h>
#include <vector>

namespace velkaro {

class CatalogConnection;
struct SearchObjectRecord;

// A key that orders an object's rows and tells each row from every other: its primary key, or a
// unique index none of whose columns may hold NULL (NULLs do not count as equal in a unique index,
// so such an index tells nothing apart). Only keys whose values survive a round trip as text are
// taken: integers, exact decimals, short character strings and dates.
struct TableKey
{
    struct Column
    {
        QString name;
        SQLSMALLINT dataType = 0; // as SQLColumns reports it
        SQLULEN size = 0;
        SQLSMALLINT digits = 0;
    };

    std::vector<Column> columns; // in key order

    // Asks the catalog, trying each owner in turn; nullopt when the object has no usable key.
    static std::optional<TableKey> Find(const CatalogConnection& catalog, const SearchObjectRecord& object,
                                        const QStringList& owners);

    // Longest character key column taken, in characters.
    static constexpr SQLULEN kMaxTextLength = 1024;
};

} // namespace velkaro

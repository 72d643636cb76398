#pragma once

#include "catalog/SchemaRecords.h"
#include "explorer/core/DatabaseEntry.h"

#include <QString>

namespace velkaro {

// The statistics a table's and an index's "General" pages show, as the texts of their fields.
class StatisticsQuery final
{
public:
    struct Texts
    {
        QString first;   // "Number of Rows:" or "Number of Unique Values:"
        QString pages;   // "Number of Pages:"
        QString filter;  // "Filter Condition" (indexes)
        QString failure; // the driver's message of a failed call
    };

    // What the table page shows before its thread runs: "Not Calculated..." with "DOST" off,
    // else "Please wait...".
    static Texts TableBefore(bool calculate);
    // On the table page's thread: "N/A (database in use)" without a call, else the statistics.
    static Texts Table(const DatabaseEntry& entry, const ObjectName& table);
    // On the index page's thread; the database's in-use flag is not tested.
    static Texts Index(const DatabaseEntry& entry, const ObjectName& table, const QString& indexName);
};

} // namespace velkaro

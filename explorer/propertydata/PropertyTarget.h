#pragma once

#include "explorer/core/DatabaseEntry.h"

#include <QString>

namespace velkaro {

// The item a property sheet describes, with copies of the names its pages look up again.
struct PropertyTarget
{
    enum class Kind
    {
        Root,
        Database,
        Object,
        Index,
        Column
    };

    Kind kind = Kind::Root;
    DatabaseEntryPtr entry; // all kinds but the root
    QString owner;          // the object's (or the index's or column's table's) owner
    QString objectName;     // the object, or the table of an index or column
    QString objectType;     // the object's type text (objects only)
    QString itemName;       // the index or column name

    // "Velkaro Properties", "Database Properties", ...
    QString SheetTitle() const;
};

} // namespace velkaro

#pragma once

#include "catalog/ObjectRecord.h"
#include "catalog/RecordList.h"
#include "catalog/SchemaRecords.h"

namespace velkaro {

// The explorer's in-memory copy of one database's catalog: the objects, with their columns and
// indexes. The on-demand key and statistics queries are not kept: each caller gets its own rows.
//
// Threads: writers are the worker that holds the database; readers may be any thread. Every list
// is handed out as a snapshot that stays valid however the model changes later (see RecordList
// and ObjectRecord).
class SchemaModel final
{
public:
    SchemaModel() = default;
    SchemaModel(const SchemaModel&) = delete;
    SchemaModel& operator=(const SchemaModel&) = delete;

    RecordList<ObjectRecord>& Objects() { return m_objects; }
    const RecordList<ObjectRecord>& Objects() const { return m_objects; }

    // Where an on-demand query looks for tableName: the first object of that name as the catalog
    // reported it, or, for a name not in the model, the name under fallbackOwner.
    ObjectName Locate(const QString& tableName, const QString& fallbackOwner) const;

private:
    RecordList<ObjectRecord> m_objects;
};

} // namespace velkaro

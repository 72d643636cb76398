#pragma once

#include "catalog/ObjectRecord.h"
#include "catalog/RecordList.h"
#include "catalog/SchemaRecords.h"

#include <memory>
#include <mutex>
#include <vector>

namespace velkaro {

// The explorer's in-memory copy of one database's catalog: the objects (with their columns and
// indexes), and the results of the last on-demand key and statistics queries.
//
// Threads: writers are the worker or property thread that holds the database; readers may be any
// thread. Every list is handed out as a snapshot that stays valid however the model changes later
// (see RecordList and ObjectRecord); the statistics are copied out under the lock.
class SchemaModel final
{
public:
    using PrimaryKeys = std::vector<PrimaryKeyRecord>;
    using References = std::vector<ReferenceRecord>;

    SchemaModel() = default;
    SchemaModel(const SchemaModel&) = delete;
    SchemaModel& operator=(const SchemaModel&) = delete;

    RecordList<ObjectRecord>& objects() { return m_objects; }
    const RecordList<ObjectRecord>& objects() const { return m_objects; }

    // Where an on-demand query looks for tableName: the first object of that name as the catalog
    // reported it, or, for a name not in the model, the name under fallbackOwner.
    ObjectName locate(const QString& tableName, const QString& fallbackOwner) const;

    std::shared_ptr<const PrimaryKeys> primaryKeys() const;
    std::shared_ptr<const References> references() const;
    TableStatistics tableStatistics() const;
    IndexStatistics indexStatistics() const;

    void setPrimaryKeys(PrimaryKeys keys);
    void setReferences(References references);
    void setTableStatistics(const TableStatistics& statistics);
    void setIndexStatistics(const IndexStatistics& statistics);

private:
    RecordList<ObjectRecord> m_objects;
    mutable std::mutex m_mutex;
    std::shared_ptr<const PrimaryKeys> m_primaryKeys = std::make_shared<const PrimaryKeys>();
    std::shared_ptr<const References> m_references = std::make_shared<const References>();
    TableStatistics m_tableStatistics;
    IndexStatistics m_indexStatistics;
};

} // namespace velkaro

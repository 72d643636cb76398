#pragma once

#include "catalog/SchemaRecords.h"

#include <QString>
#include <memory>
#include <mutex>

namespace velkaro {

// One catalog object (one row of SQLTables).
//
// Threads: the identity (name, owner, type, qualifier, remarks) never changes after construction.
// The columns and indexes are rebuilt by the worker that holds the database while the interface
// thread reads them, so each list is published whole as an immutable shared snapshot and replaced
// under a short lock. A reader keeps the snapshot it took alive for as long as it needs it.
class ObjectRecord final
{
public:
    ObjectRecord(QString name, QString owner, QString type, QString qualifier, QString remarks);
    ObjectRecord(const ObjectRecord&) = delete;
    ObjectRecord& operator=(const ObjectRecord&) = delete;

    const QString& name() const { return m_name; }
    const QString& owner() const { return m_owner; }
    const QString& type() const { return m_type; }
    const QString& qualifier() const { return m_qualifier; }
    const QString& remarks() const { return m_remarks; }
    ObjectName objectName() const { return {m_qualifier, m_owner, m_name}; }

    std::shared_ptr<const ColumnList> columns() const;
    std::shared_ptr<const IndexList> indexes() const;
    void setColumns(ColumnList columns);
    void setIndexes(IndexList indexes);
    // Drops both lists (a refresh releases the details of the objects it replaces).
    void clearDetails();

private:
    const QString m_name;
    const QString m_owner;
    const QString m_type;
    const QString m_qualifier;
    const QString m_remarks;

    mutable std::mutex m_mutex;
    std::shared_ptr<const ColumnList> m_columns;
    std::shared_ptr<const IndexList> m_indexes;
};

} // namespace velkaro

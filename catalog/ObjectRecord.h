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

    const QString& Name() const { return m_name; }
    const QString& Owner() const { return m_owner; }
    const QString& Type() const { return m_type; }
    const QString& Qualifier() const { return m_qualifier; }
    const QString& Remarks() const { return m_remarks; }
    ObjectName GetObjectName() const { return {m_qualifier, m_owner, m_name}; }

    std::shared_ptr<const ColumnList> Columns() const;
    std::shared_ptr<const IndexList> Indexes() const;
    void SetColumns(ColumnList columns);
    void SetIndexes(IndexList indexes);
    // Drops both lists (a refresh releases the details of the objects it replaces).
    void ClearDetails();

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

#pragma once

#include "explorer/core/DatabaseEntry.h"

#include <vector>

namespace velkaro {

// The databases in the order they were added. Changed and walked only on the interface thread.
class DatabaseList final
{
public:
    void Append(DatabaseEntryPtr entry);
    void Remove(const DatabaseEntryPtr& entry);
    const std::vector<DatabaseEntryPtr>& Entries() const { return m_entries; }
    bool empty() const { return m_entries.empty(); }
    int size() const { return static_cast<int>(m_entries.size()); }

    bool AliasExists(const QString& name) const; // exact, case-sensitive
    // name when free, else the first free one of name(2), name(3), ...
    QString MakeUniqueAlias(const QString& name) const;
    DatabaseEntryPtr FindEntryByNode(NodeId node) const;
    DatabaseEntryPtr FindEntryByAlias(const QString& name) const;
    int CountBusyDatabases() const; // entries whose inUse is 1
    bool AnyInUse() const { return CountBusyDatabases() > 0; }
    std::vector<DatabaseEntryPtr> TakeAll(); // empties the list

private:
    std::vector<DatabaseEntryPtr> m_entries;
};

} // namespace velkaro

#include "explorer/core/DatabaseList.h"

#include <algorithm>

namespace velkaro {

void DatabaseList::Append(DatabaseEntryPtr entry)
{
    m_entries.push_back(std::move(entry));
}

void DatabaseList::Remove(const DatabaseEntryPtr& entry)
{
    std::erase(m_entries, entry);
}

bool DatabaseList::AliasExists(const QString& name) const
{
    return FindEntryByAlias(name) != nullptr;
}

QString DatabaseList::MakeUniqueAlias(const QString& name) const
{
    if (!AliasExists(name))
        return name;
    for (int suffix = 2;; ++suffix) {
        const QString candidate = name + QLatin1Char('(') + QString::number(suffix) + QLatin1Char(')');
        if (!AliasExists(candidate))
            return candidate;
    }
}

DatabaseEntryPtr DatabaseList::FindEntryByNode(NodeId node) const
{
    if (node == 0)
        return nullptr;
    const auto found = std::find_if(m_entries.begin(), m_entries.end(),
                                    [node](const DatabaseEntryPtr& entry) { return entry->node == node; });
    return found == m_entries.end() ? nullptr : *found;
}

DatabaseEntryPtr DatabaseList::FindEntryByAlias(const QString& name) const
{
    const auto found =
        std::find_if(m_entries.begin(), m_entries.end(), [&name](const DatabaseEntryPtr& entry) {
            return QString::compare(entry->alias, name, Qt::CaseSensitive) == 0;
        });
    return found == m_entries.end() ? nullptr : *found;
}

int DatabaseList::CountBusyDatabases() const
{
    return static_cast<int>(std::count_if(m_entries.begin(), m_entries.end(),
                                          [](const DatabaseEntryPtr& entry) { return entry->Busy(); }));
}

std::vector<DatabaseEntryPtr> DatabaseList::TakeAll()
{
    return std::exchange(m_entries, {});
}

} // namespace velkaro

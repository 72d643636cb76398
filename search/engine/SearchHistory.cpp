#include "search/engine/SearchHistory.h"

#include "common/ProfileStore.h"

namespace velkaro {

namespace {
const QString kSection = QStringLiteral("Find");
}

void SearchHistory::Remember(const QString& text)
{
    if (text.isEmpty())
        return;
    m_entries.removeAll(text);
    m_entries.prepend(text);
    while (m_entries.size() > kMaxEntries)
        m_entries.removeLast();
}

void SearchHistory::Load(const ProfileStore& store)
{
    m_entries.clear();
    // The list ends at the first empty or missing value.
    for (int i = 0; i < kMaxEntries; ++i) {
        const QString entry = store.readString(kSection, QString::number(i), QString());
        if (entry.isEmpty())
            break;
        m_entries.append(entry);
    }
}

bool SearchHistory::Save(ProfileStore& store) const
{
    bool ok = true;
    int name = 0;
    for (const QString& entry : m_entries) {
        if (!entry.isEmpty())
            ok = store.writeString(kSection, QString::number(name++), entry) && ok;
    }
    return store.writeString(kSection, QString::number(name), QString()) && ok;
}

} // namespace velkaro

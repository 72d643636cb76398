#include "explorer/core/FindHistory.h"

#include "common/ProfileStore.h"

namespace velkaro {

namespace {
const QString kSection = QStringLiteral("Find");
}

void FindHistory::load(const ProfileStore& store)
{
    m_strings.clear();
    for (int i = 0;; ++i) {
        const QString value = store.readString(kSection, QString::number(i), QString());
        if (value.isEmpty())
            break;
        m_strings.append(value);
    }
}

bool FindHistory::save(ProfileStore& store) const
{
    bool written = true;
    int j = 0;
    for (const QString& text : m_strings) {
        if (!text.isEmpty())
            written = store.writeString(kSection, QString::number(j++), text) && written;
    }
    return store.writeString(kSection, QString::number(j), QString()) && written;
}

void FindHistory::remember(const QString& text)
{
    if (text.isEmpty())
        return;
    m_strings.removeAll(text);
    m_strings.prepend(text);
    while (m_strings.size() > kMaximumStrings)
        m_strings.removeLast();
}

} // namespace velkaro

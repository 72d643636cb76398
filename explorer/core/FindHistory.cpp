#include "explorer/core/FindHistory.h"

#include "explorer/core/NumberedValues.h"

namespace velkaro {

namespace {
const QString kSection = QStringLiteral("Find");
}

void FindHistory::load(const ProfileStore& store)
{
    m_strings = NumberedValues::read(store, kSection);
}

bool FindHistory::save(ProfileStore& store) const
{
    return NumberedValues::write(store, kSection, m_strings);
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

#include "common/RecentStrings.h"

#include "common/NumberedValues.h"

#include <utility>

namespace velkaro {

RecentStrings::RecentStrings(QString section) : m_section(std::move(section))
{}

void RecentStrings::Remember(const QString& text)
{
    if (text.isEmpty())
        return;
    m_strings.removeAll(text);
    m_strings.prepend(text);
    while (m_strings.size() > kMaximumStrings)
        m_strings.removeLast();
}

void RecentStrings::Load(const ProfileStore& store)
{
    m_strings = NumberedValues::Read(store, m_section, kMaximumStrings);
}

bool RecentStrings::Save(ProfileStore& store) const
{
    return NumberedValues::Write(store, m_section, m_strings);
}

} // namespace velkaro

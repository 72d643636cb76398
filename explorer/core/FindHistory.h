#pragma once

#include "common/RecentStrings.h"

#include <QString>
#include <QStringList>

namespace velkaro {

class ProfileStore;

// The find history: section "Find", values "0", "1", ...
class FindHistory final
{
public:
    void Load(const ProfileStore& store) { m_strings.Load(store); }
    bool Save(ProfileStore& store) const { return m_strings.Save(store); }
    QStringList& Strings() { return m_strings.Strings(); } // most recent first
    const QStringList& Strings() const { return m_strings.Strings(); }
    void Remember(const QString& text) { m_strings.Remember(text); }

private:
    RecentStrings m_strings{QStringLiteral("Find")};
};

} // namespace velkaro

#pragma once

#include <QString>
#include <QStringList>

namespace velkaro {

class ProfileStore;

// Strings the user entered before, newest first, kept in one section of the settings store as
// values "0", "1", ... ended by the first empty one.
class RecentStrings final
{
public:
    static constexpr int kMaximumStrings = 10;

    explicit RecentStrings(QString section);

    QStringList& Strings() { return m_strings; }
    const QStringList& Strings() const { return m_strings; }
    QString Newest() const { return m_strings.isEmpty() ? QString() : m_strings.first(); }

    // An identical string leaves, the new one goes to the head, the oldest beyond the maximum
    // drops. Letter case makes a different string; an empty one is not kept.
    void Remember(const QString& text);

    void Load(const ProfileStore& store);
    // Non-empty strings renumbered from "0", then one empty value; false when the store failed.
    bool Save(ProfileStore& store) const;

private:
    QString m_section;
    QStringList m_strings;
};

} // namespace velkaro

#pragma once

#include <QStringList>

namespace velkaro {

class ProfileStore;

// The previously used search strings, newest first, kept in the "Find" section.
class SearchHistory final
{
public:
    static constexpr int kMaxEntries = 10;

    const QStringList& entries() const { return m_entries; }
    QString newest() const { return m_entries.isEmpty() ? QString() : m_entries.first(); }

    // Moves text to the head (an equal entry is taken out first) and keeps the newest ten.
    void Remember(const QString& text);

    void Load(const ProfileStore& store);
    // False when the store could not be written.
    bool Save(ProfileStore& store) const;

private:
    QStringList m_entries;
};

} // namespace velkaro

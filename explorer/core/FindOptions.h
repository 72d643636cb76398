#pragma once

#include <QString>

namespace velkaro {

class ProfileStore;

// What Find looks at and how it compares, kept in section "Find" of the settings store.
struct FindOptions final
{
    bool wholeWord = false;
    bool databaseNames = true;
    bool objectNames = true;
    bool columnNames = true;
    bool indexNames = true;
    bool indexColumnNames = true;

    static FindOptions Load(const ProfileStore& store);
    // False when the store could not be written.
    bool Save(ProfileStore& store) const;

    // The text of the "Look in:" choice last used ("" stands for all databases).
    static QString LoadLookIn(const ProfileStore& store);
    static bool SaveLookIn(ProfileStore& store, const QString& text);

    bool operator==(const FindOptions&) const = default;
};

} // namespace velkaro

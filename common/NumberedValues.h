#pragma once

#include <QString>
#include <QStringList>

namespace velkaro {

class ProfileStore;

// A list kept in one section of the settings store: values "0", "1", ... ended by the first
// empty one. Values with higher numbers left from earlier runs are never read.
class NumberedValues final
{
public:
    NumberedValues() = delete;

    // At most limit values when limit is not negative.
    static QStringList Read(const ProfileStore& store, const QString& section, int limit = -1);
    // The non-empty values renumbered from "0", then one empty value; false when the store failed.
    static bool Write(ProfileStore& store, const QString& section, const QStringList& values);
};

} // namespace velkaro

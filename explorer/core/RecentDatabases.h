#pragma once

#include <QList>
#include <QString>

namespace velkaro {

class ProfileStore;

// One database to reopen at start-up.
struct RecentDatabase
{
    QString alias;
    bool ownerOnly = false;
    QString connectString;

    bool operator==(const RecentDatabase&) const = default;
};

// Section "Recent DB": values "0", "1", ... of the form alias/p<owner-only flag>/p<connect string>,
// ended by the first empty value.
class RecentDatabases final
{
public:
    RecentDatabases() = delete;

    static QList<RecentDatabase> Read(const ProfileStore& store);
    static RecentDatabase Parse(const QString& value);
    // Any password attribute is left out: the store never holds one.
    static QString Format(const RecentDatabase& database);
    // Writes the list from "0" on, then one empty value; false when the store could not be written.
    static bool Write(ProfileStore& store, const QList<RecentDatabase>& databases);
};

} // namespace velkaro

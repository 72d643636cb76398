#pragma once

#include "explorer/core/RecentDatabases.h"

#include <QList>
#include <QStringList>

namespace velkaro {

// Saved databases that could not be reconnected at start-up (the login was cancelled, the server
// was down). They are kept for the next start rather than forgotten: only Remove Database takes
// one out of the list. Interface thread only.
class PendingReconnects final
{
public:
    void Add(const RecentDatabase& database) { m_databases.append(database); }
    const QList<RecentDatabase>& Databases() const { return m_databases; }
    bool empty() const { return m_databases.isEmpty(); }

    // What each is called in the Remove Database list: its alias, or its connect string without one.
    QStringList Names() const;
    // Takes out the one called name; false when there is none.
    bool Remove(const QString& name);
    // The one message that tells the user which databases were not reconnected.
    QString NotReconnectedMessage() const;

private:
    static QString NameOf(const RecentDatabase& database);

    QList<RecentDatabase> m_databases;
};

} // namespace velkaro

#include "explorer/core/PendingReconnects.h"

namespace velkaro {

QString PendingReconnects::NameOf(const RecentDatabase& database)
{
    return database.alias.isEmpty() ? database.connectString : database.alias;
}

QStringList PendingReconnects::Names() const
{
    QStringList names;
    for (const RecentDatabase& database : m_databases)
        names.append(NameOf(database));
    return names;
}

bool PendingReconnects::Remove(const QString& name)
{
    for (qsizetype i = 0; i < m_databases.size(); ++i) {
        if (NameOf(m_databases.at(i)) == name) {
            m_databases.removeAt(i);
            return true;
        }
    }
    return false;
}

QString PendingReconnects::NotReconnectedMessage() const
{
    if (m_databases.isEmpty())
        return QString();
    return QStringLiteral(
               "Could not reconnect to: %1.\nThey stay in the list and are tried again at the next "
               "start; use Remove Database to take them out of the list.")
        .arg(Names().join(QStringLiteral(", ")));
}

} // namespace velkaro

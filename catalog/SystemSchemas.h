#pragma once

#include <QString>
#include <QStringList>
#include <sql.h>

namespace velkaro {

// The schemas (or, where a database is a catalog, the databases) that hold the server's own
// objects rather than the user's. Known per DBMS: a schema named "sys" is the server's on MariaDB
// but may well be a user's on PostgreSQL.
class SystemSchemas final
{
public:
    SystemSchemas() = default;
    static SystemSchemas ForDbms(const QString& dbmsName);
    static SystemSchemas ForConnection(SQLHDBC hdbc);
    // SQL_DBMS_NAME of the connection; empty when the driver gives none.
    static QString DbmsName(SQLHDBC hdbc);

    // container: the object's owner, or its qualifier where the DBMS has no owners.
    bool Contains(const QString& container) const;
    // The schemas (or databases) by name; PostgreSQL's numbered temporary ones are not among them.
    const QStringList& Names() const { return m_names; }
    // "SYSTEM TABLE" and "SYSTEM VIEW", whatever schema they are in.
    static bool IsSystemType(const QString& type);

private:
    QStringList m_names;    // compared without regard to case
    QStringList m_prefixes; // PostgreSQL's numbered temporary schemas
};

} // namespace velkaro

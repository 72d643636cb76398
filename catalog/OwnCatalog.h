#pragma once

#include <QString>
#include <QStringList>
#include <sql.h>

namespace velkaro {

// The data source's own database, where the driver has catalogs. Where a database is a catalog and
// there are no owners (MariaDB), the login may see other databases through one connection: those
// belong to other data sources, except the server's own, which hold its system objects.
class OwnCatalog final
{
public:
    OwnCatalog() = default;
    static OwnCatalog ForConnection(SQLHDBC hdbc);

    // SQL_ATTR_CURRENT_CATALOG, or SQL_DATABASE_NAME where that gives nothing; empty where the
    // driver has no catalogs (SQLite names its file there).
    const QString& Name() const { return m_name; }
    // The catalog arguments that list the data source's objects: its own database (none where
    // it has no name), then, with system objects wanted and databases as catalogs, the server's own.
    QStringList CatalogsToList(bool withSystemObjects) const;

private:
    QString m_name;
    QStringList m_serverCatalogs; // empty unless databases are catalogs
};

} // namespace velkaro

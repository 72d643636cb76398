#include "catalog/OwnCatalog.h"

#include "catalog/SystemSchemas.h"

#include <sqlext.h>

namespace velkaro {

namespace {

SQLUINTEGER usageInfo(SQLHDBC hdbc, SQLUSMALLINT item)
{
    SQLUINTEGER usage = 0;
    SQLSMALLINT length = 0;
    return SQL_SUCCEEDED(SQLGetInfo(hdbc, item, &usage, sizeof usage, &length)) ? usage : 0;
}

QString textInfo(SQLHDBC hdbc, SQLUSMALLINT item)
{
    char text[256] = {};
    SQLSMALLINT length = 0;
    return SQL_SUCCEEDED(SQLGetInfo(hdbc, item, text, sizeof text, &length)) ? QString::fromUtf8(text)
                                                                             : QString();
}

QString currentCatalog(SQLHDBC hdbc)
{
    char name[256] = {};
    SQLINTEGER length = 0;
    if (!SQL_SUCCEEDED(SQLGetConnectAttr(hdbc, SQL_ATTR_CURRENT_CATALOG, name, sizeof name, &length)))
        return QString();
    return QString::fromUtf8(name);
}

} // namespace

OwnCatalog OwnCatalog::ForConnection(SQLHDBC hdbc)
{
    OwnCatalog own;
    if (usageInfo(hdbc, SQL_CATALOG_USAGE) == 0)
        return own;
    own.m_name = currentCatalog(hdbc);
    if (own.m_name.isEmpty())
        own.m_name = textInfo(hdbc, SQL_DATABASE_NAME);
    if (!own.m_name.isEmpty() && usageInfo(hdbc, SQL_OWNER_USAGE) == 0)
        own.m_serverCatalogs = SystemSchemas::ForConnection(hdbc).Names();
    return own;
}

QStringList OwnCatalog::CatalogsToList(bool withSystemObjects) const
{
    QStringList catalogs{m_name};
    if (withSystemObjects) {
        for (const QString& server : m_serverCatalogs) {
            if (server.compare(m_name, Qt::CaseInsensitive) != 0)
                catalogs.append(server);
        }
    }
    return catalogs;
}

} // namespace velkaro

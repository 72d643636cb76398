#include "catalog/SystemSchemas.h"

#include <sqlext.h>

namespace velkaro {

SystemSchemas SystemSchemas::ForDbms(const QString& dbmsName)
{
    SystemSchemas schemas;
    schemas.m_names << QStringLiteral("information_schema");
    if (dbmsName.contains(QLatin1String("PostgreSQL"), Qt::CaseInsensitive)) {
        schemas.m_names << QStringLiteral("pg_catalog") << QStringLiteral("pg_toast");
        schemas.m_prefixes << QStringLiteral("pg_temp_") << QStringLiteral("pg_toast_temp_");
    } else if (dbmsName.contains(QLatin1String("MariaDB"), Qt::CaseInsensitive) ||
               dbmsName.contains(QLatin1String("MySQL"), Qt::CaseInsensitive)) {
        schemas.m_names << QStringLiteral("performance_schema") << QStringLiteral("mysql")
                        << QStringLiteral("sys");
    }
    return schemas;
}

SystemSchemas SystemSchemas::ForConnection(SQLHDBC hdbc)
{
    return ForDbms(DbmsName(hdbc));
}

QString SystemSchemas::DbmsName(SQLHDBC hdbc)
{
    char name[256] = {};
    SQLSMALLINT length = 0;
    if (!SQL_SUCCEEDED(SQLGetInfo(hdbc, SQL_DBMS_NAME, name, sizeof name, &length)))
        name[0] = '\0';
    return QString::fromUtf8(name);
}

bool SystemSchemas::Contains(const QString& container) const
{
    if (container.isEmpty())
        return false;
    if (m_names.contains(container, Qt::CaseInsensitive))
        return true;
    for (const QString& prefix : m_prefixes) {
        if (container.startsWith(prefix, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

bool SystemSchemas::IsSystemType(const QString& type)
{
    return type.compare(QLatin1String("SYSTEM TABLE"), Qt::CaseInsensitive) == 0 ||
           type.compare(QLatin1String("SYSTEM VIEW"), Qt::CaseInsensitive) == 0;
}

} // namespace velkaro

#include "catalog/DataSourceCatalog.h"

#include "catalog/ConnectString.h"
#include "common/OdbcSuccess.h"

#include <cstring>
#include <sql.h>
#include <sqlext.h>

namespace velkaro {

namespace {

// An environment handle that lives for one listing.
class Environment final
{
public:
    Environment() { SQLAllocEnv(&m_henv); }
    ~Environment()
    {
        if (m_henv != SQL_NULL_HENV)
            SQLFreeEnv(m_henv);
    }
    Environment(const Environment&) = delete;
    Environment& operator=(const Environment&) = delete;
    SQLHENV Handle() const { return m_henv; }

private:
    SQLHENV m_henv = SQL_NULL_HENV;
};

QString text(const SQLCHAR* bytes, std::size_t size)
{
    const char* chars = reinterpret_cast<const char*>(bytes);
    return QString::fromUtf8(chars, static_cast<qsizetype>(strnlen(chars, size)));
}

void appendSources(SQLHENV henv, SQLUSMALLINT first, bool system, QList<DataSourceInfo>& sources)
{
    SQLUSMALLINT direction = first;
    for (;;) {
        SQLCHAR name[SQL_MAX_DSN_LENGTH * 4 + 1] = {};
        SQLCHAR driver[1024] = {};
        SQLSMALLINT nameLength = 0;
        SQLSMALLINT driverLength = 0;
        const SQLRETURN rc = SQLDataSources(henv, direction, name, sizeof name, &nameLength, driver,
                                            sizeof driver, &driverLength);
        if (!IsSuccess(rc))
            return;
        sources.append(DataSourceInfo{text(name, sizeof name), text(driver, sizeof driver), system});
        direction = SQL_FETCH_NEXT;
    }
}

// The attributes arrive as "Key=value" texts each ended by a NUL, the list by a second NUL.
QString descriptionAttribute(const SQLCHAR* attributes, std::size_t size)
{
    const char* cursor = reinterpret_cast<const char*>(attributes);
    const char* end = cursor + size;
    while (cursor < end && *cursor != '\0') {
        const QString attribute =
            text(reinterpret_cast<const SQLCHAR*>(cursor), static_cast<std::size_t>(end - cursor));
        if (attribute.startsWith(QLatin1String("Description="), Qt::CaseInsensitive))
            return attribute.mid(12);
        cursor += strnlen(cursor, static_cast<std::size_t>(end - cursor)) + 1;
    }
    return QString();
}

} // namespace

QList<DataSourceInfo> DataSourceCatalog::DataSources()
{
    Environment environment;
    QList<DataSourceInfo> sources;
    appendSources(environment.Handle(), SQL_FETCH_FIRST_USER, false, sources);
    appendSources(environment.Handle(), SQL_FETCH_FIRST_SYSTEM, true, sources);
    return sources;
}

QList<DriverInfo> DataSourceCatalog::Drivers()
{
    Environment environment;
    QList<DriverInfo> drivers;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    for (;;) {
        SQLCHAR name[1024] = {};
        SQLCHAR attributes[4096] = {};
        SQLSMALLINT nameLength = 0;
        SQLSMALLINT attributesLength = 0;
        const SQLRETURN rc = SQLDrivers(environment.Handle(), direction, name, sizeof name, &nameLength,
                                        attributes, sizeof attributes, &attributesLength);
        if (!IsSuccess(rc))
            break;
        drivers.append(
            DriverInfo{text(name, sizeof name), descriptionAttribute(attributes, sizeof attributes)});
        direction = SQL_FETCH_NEXT;
    }
    return drivers;
}

QString DataSourceCatalog::ConnectStringForDataSource(const QString& name)
{
    // Blanks are common in data source names and fine unbraced; only the separators need braces.
    const bool needsBraces =
        name.contains(QLatin1Char(';')) || name.contains(QLatin1Char('{')) || name.contains(QLatin1Char('}'));
    return QStringLiteral("DSN=") + (needsBraces ? ConnectString::BracedValue(name) : name);
}

QString DataSourceCatalog::ConnectStringForDriver(const QString& name)
{
    return QStringLiteral("DRIVER=") + ConnectString::BracedValue(name) + QLatin1Char(';');
}

} // namespace velkaro

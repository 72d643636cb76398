#include "TestDataSources.h"

#include <QFile>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <sql.h>
#include <sqlext.h>

namespace velkaro::test {

namespace {

QString tryConnect(const QString& connectString)
{
    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env);
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc);
    QByteArray in = connectString.toUtf8();
    const SQLRETURN rc = SQLDriverConnect(dbc, nullptr, reinterpret_cast<SQLCHAR*>(in.data()), SQL_NTS,
                                          nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT);
    QString why;
    if (!SQL_SUCCEEDED(rc)) {
        SQLCHAR state[6] = {};
        SQLCHAR text[512] = {};
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        SQLGetDiagRec(SQL_HANDLE_DBC, dbc, 1, state, &native, text, sizeof text, &length);
        why = QStringLiteral("%1 is not reachable (%2 %3); run tests/datasources/datasources.sh all "
                             "$VELKARO_ODBC_DIR, or scripts/test.sh")
                  .arg(connectString.section(QLatin1Char(';'), 0, 0),
                       QString::fromLatin1(reinterpret_cast<char*>(state)),
                       QString::fromUtf8(reinterpret_cast<char*>(text)));
    } else {
        SQLDisconnect(dbc);
    }
    SQLFreeHandle(SQL_HANDLE_DBC, dbc);
    SQLFreeHandle(SQL_HANDLE_ENV, env);
    return why;
}

} // namespace

const QList<TestDataSource>& testDataSources()
{
    static const QList<TestDataSource> sources{
        {QStringLiteral("sqlite"), QStringLiteral("ShopSQLite"), QStringLiteral("DSN=ShopSQLite"), false},
        {QStringLiteral("postgres"), QStringLiteral("ShopPostgres"),
         QStringLiteral("DSN=ShopPostgres;UID=velkaro;PWD=velkaro-pw"), true},
        {QStringLiteral("mariadb"), QStringLiteral("ShopMariaDB"),
         QStringLiteral("DSN=ShopMariaDB;UID=velkaro;PWD=velkaro-pw"), true},
    };
    return sources;
}

namespace {

// The folder of the test server's socket, written by datasources.sh; empty without it.
QString postgresSocketDir()
{
    QFile socketDirFile(qEnvironmentVariable("VELKARO_ODBC_DIR") + QStringLiteral("/servers/pg/socket-dir"));
    return socketDirFile.open(QIODevice::ReadOnly) ? QString::fromUtf8(socketDirFile.readAll()).trimmed()
                                                   : QString();
}

QString postgresPort()
{
    return qEnvironmentVariable("VELKARO_PG_PORT", QStringLiteral("55432"));
}

} // namespace

QString postgresSuperuserConnectString()
{
    const QString socketDir = postgresSocketDir();
    if (socketDir.isEmpty())
        return QString();
    return QStringLiteral("Driver=PostgreSQL ANSI;Servername=%1;Port=%2;Database=shop;Username=postgres")
        .arg(socketDir, postgresPort());
}

QStringList postgresSuperuserPsqlArguments()
{
    const QString socketDir = postgresSocketDir();
    if (socketDir.isEmpty())
        return {};
    return {QStringLiteral("-h"), socketDir,
            QStringLiteral("-p"), postgresPort(),
            QStringLiteral("-U"), QStringLiteral("postgres"),
            QStringLiteral("-d"), QStringLiteral("shop")};
}

const TestDataSource& testDataSource(const QString& key)
{
    for (const TestDataSource& source : testDataSources()) {
        if (source.key == key)
            return source;
    }
    qFatal("no test data source %s", qPrintable(key));
}

QString unavailableReason(const TestDataSource& source)
{
    // One probe per source and process: a dead server would otherwise cost a time-out per test.
    static QMutex mutex;
    static QHash<QString, QString> known;
    QMutexLocker lock(&mutex);
    if (qEnvironmentVariableIsEmpty("ODBCSYSINI"))
        return QStringLiteral("ODBCSYSINI is not set: run the tests through ctest");
    auto found = known.find(source.key);
    if (found == known.end())
        found = known.insert(source.key, tryConnect(source.connectString));
    return *found;
}

bool requireAllDataSources()
{
    return qEnvironmentVariable("CI") == QLatin1String("true");
}

} // namespace velkaro::test

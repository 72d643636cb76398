#include "BlockedObject.h"

#include "TestDataSources.h"

#include <QElapsedTimer>
#include <chrono>
#include <sqlext.h>
#include <thread>

namespace velkaro::test {

bool BlockedObject::lock(const QString& sourceKey, const QString& folder)
{
    m_source = sourceKey;
    if (m_source == QLatin1String("sqlite")) {
        m_connectString =
            QStringLiteral("DRIVER=SQLite3;Database=") + folder + QStringLiteral("/slow.sqlite");
        m_name = QStringLiteral("a_slow");
        return m_locker.ConnectByString(m_connectString, m_prompt) &&
               execute("CREATE VIEW a_slow AS WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 "
                       "FROM n WHERE x < 200000000) SELECT x FROM n WHERE x < 0") &&
               execute("CREATE TABLE b_found (note VARCHAR(40))") &&
               execute("INSERT INTO b_found VALUES ('needle-4711')");
    }
    m_connectString = testDataSource(m_source).connectString;
    m_name = QStringLiteral("customers");
    // PostgreSQL's sample holds a second customers table in the archive schema.
    m_objects = m_source == QLatin1String("postgres")
                    ? QStringList{QStringLiteral("public.customers"), QStringLiteral("public.group")}
                    : QStringList{m_name, QStringLiteral("group")};
    if (!m_locker.ConnectByString(m_connectString, m_prompt))
        return false;
    if (m_source == QLatin1String("mariadb"))
        return execute("LOCK TABLES customers WRITE");
    SQLSetConnectAttr(m_locker.Hdbc(), SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF),
                      0);
    return execute("LOCK TABLE customers IN ACCESS EXCLUSIVE MODE");
}

void BlockedObject::release()
{
    if (m_source == QLatin1String("mariadb"))
        execute("UNLOCK TABLES");
    else if (m_source == QLatin1String("postgres"))
        SQLEndTran(SQL_HANDLE_DBC, m_locker.Hdbc(), SQL_ROLLBACK);
}

bool BlockedObject::waitUntilWaiting(int milliseconds)
{
    if (m_source == QLatin1String("sqlite")) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        return true;
    }
    const char* const waiting =
        m_source == QLatin1String("mariadb")
            ? "SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE INFO LIKE 'select%customers%' "
              "AND ID <> CONNECTION_ID()"
            // The search session's driver reads through a cursor: "declare ... cursor for select".
            : "SELECT COUNT(*) FROM pg_stat_activity WHERE wait_event_type = 'Lock' AND query LIKE "
              "'%select%customers%'";
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds) {
        // The server's activity view is read once per transaction unless told otherwise.
        if (m_source == QLatin1String("postgres"))
            execute("SELECT pg_stat_clear_snapshot()");
        SQLHSTMT statement = SQL_NULL_HSTMT;
        QString count;
        if (m_locker.ExecuteQuery(statement, QString::fromLatin1(waiting)).isEmpty())
            m_locker.FetchRowText(statement, count);
        m_locker.CloseQuery(statement);
        if (count.toInt() > 0)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

bool BlockedObject::execute(const char* sql)
{
    SQLHSTMT statement = SQL_NULL_HSTMT;
    const bool done = m_locker.ExecuteQuery(statement, QString::fromUtf8(sql)).isEmpty();
    m_locker.CloseQuery(statement);
    return done;
}

} // namespace velkaro::test

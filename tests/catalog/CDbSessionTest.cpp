#include "catalog/CDbSession.h"

#include "RecordingPrompt.h"
#include "TestDataSources.h"
#include "catalog/ConnectString.h"
#include "catalog/FetchedRow.h"
#include "common/ActivityLogSink.h"
#include "common/OdbcSuccess.h"

#include <QSettings>
#include <QStringList>
#include <QTest>
#include <sqlext.h>

using velkaro::CDbSession;
using velkaro::ConnectString;
using velkaro::LoginAnswer;
using velkaro::SessionVariant;
using velkaro::test::RecordingPrompt;
using velkaro::test::TestDataSource;

Q_DECLARE_METATYPE(SessionVariant)

namespace {

class RecordingLog final : public velkaro::ActivityLogSink
{
public:
    void WriteLog(const QString& message, bool) override { lines.append(message); }
    QStringList lines;
};

const QString kConnectFailed =
    QStringLiteral("Could not connect to data source. Please verify that the source is "
                   "available and \nall parameters are set correctly.");

QString odbcIni(const QString& key)
{
    const QSettings ini(qEnvironmentVariable("ODBCSYSINI") + QStringLiteral("/odbc.ini"),
                        QSettings::IniFormat);
    return ini.value(key).toString();
}

void addSourceColumn()
{
    QTest::addColumn<QString>("key");
    for (const TestDataSource& source : velkaro::test::testDataSources())
        QTest::newRow(qPrintable(source.key)) << source.key;
}

void addServerColumn()
{
    QTest::addColumn<QString>("key");
    QTest::newRow("postgres") << QStringLiteral("postgres");
    QTest::newRow("mariadb") << QStringLiteral("mariadb");
}

// What the search program shows for the DSN sources: DSN, server and user, colon-separated.
QString searchName(const QString& key)
{
    if (key == QLatin1String("sqlite"))
        return QStringLiteral("SHOPSQLITE:") + qEnvironmentVariable("VELKARO_ODBC_DIR") +
               QStringLiteral("/shop.sqlite");
    return velkaro::test::testDataSource(key).dsn.toUpper() + QStringLiteral(":127.0.0.1:velkaro");
}

QStringList fetchAll(CDbSession& session, SQLHSTMT statement)
{
    QStringList rows;
    QString row;
    while (session.FetchRowText(statement, row) == velkaro::FetchResult::Row)
        rows.append(row);
    return rows;
}

} // namespace

class CDbSessionTest : public QObject
{
    Q_OBJECT

private slots:
    void displayNameRules_data()
    {
        QTest::addColumn<SessionVariant>("variant");
        QTest::addColumn<QString>("connectString");
        QTest::addColumn<QString>("serverName");
        QTest::addColumn<QString>("userName");
        QTest::addColumn<QString>("expected");
        const auto explorer = SessionVariant::Explorer;
        const auto search = SessionVariant::Search;
        QTest::newRow("explorer: dsn wins") << explorer << "DSN=sales;UID=scott"
                                            << ""
                                            << ""
                                            << "SALES";
        QTest::newRow("explorer: DSN default falls to dbq") << explorer << "DSN=default;DBQ=C:\\data\\a.mdb"
                                                            << ""
                                                            << ""
                                                            << "C:\\DATA\\A.MDB";
        QTest::newRow("explorer: uid without dsn and dbq") << explorer << "DRIVER={X};UID=scott"
                                                           << ""
                                                           << ""
                                                           << "SCOTT";
        QTest::newRow("explorer: first attribute value") << explorer << "DRIVER={SQL Server};SERVER=S1"
                                                         << ""
                                                         << ""
                                                         << "{SQL Server}";
        QTest::newRow("explorer: lower-case uid is not found") << explorer << "DRIVER={X};uid=scott"
                                                               << ""
                                                               << ""
                                                               << "{X}";
        QTest::newRow("explorer: dsn inside FILEDSN") << explorer << "FILEDSN=x.dsn;DSN=y"
                                                      << ""
                                                      << ""
                                                      << "X.DSN";
        QTest::newRow("search: dsn, server and user") << search << "DSN=sales"
                                                      << "S1"
                                                      << "u"
                                                      << "SALES:S1:u";
        QTest::newRow("search: dsn without server") << search << "DSN=sales"
                                                    << ""
                                                    << "u"
                                                    << "SALES:u";
        QTest::newRow("search: dsn alone") << search << "DSN=sales"
                                           << ""
                                           << ""
                                           << "SALES";
        QTest::newRow("search: dbq when dsn is default") << search << "DSN=DEFAULT;DBQ=c:\\a.mdb"
                                                         << "S1"
                                                         << "u"
                                                         << "C:\\A.MDB";
        QTest::newRow("search: server and user only") << search << "DRIVER={X};SERVER=S"
                                                      << "S"
                                                      << "U"
                                                      << ":S:U";
        QTest::newRow("search: user only") << search << "DRIVER={X}"
                                           << ""
                                           << "U"
                                           << ":U";
        QTest::newRow("search: no user gives first attribute value") << search << "DRIVER={X};SERVER=S"
                                                                     << "S"
                                                                     << ""
                                                                     << "{X}";
    }
    void displayNameRules()
    {
        QFETCH(SessionVariant, variant);
        QFETCH(QString, connectString);
        QFETCH(QString, serverName);
        QFETCH(QString, userName);
        QFETCH(QString, expected);
        QCOMPARE(CDbSession::DisplayNameFor(variant, connectString, serverName, userName), expected);
    }

    void connectByStringReadsTheConnection_data() { addSourceColumn(); }
    void connectByStringReadsTheConnection()
    {
        QFETCH(QString, key);
        const TestDataSource& source = velkaro::test::testDataSource(key);
        VELKARO_REQUIRE_DATA_SOURCE(source);
        RecordingPrompt prompt;
        CDbSession session;
        QVERIFY(session.ConnectByString(source.connectString, prompt));
        QVERIFY(!session.ConnectFailed());
        QCOMPARE(session.DisplayName(), source.dsn.toUpper());
        QCOMPARE(session.Dsn(), source.dsn.toUpper());
        QCOMPARE(session.DataSourceName(), source.dsn);
        QVERIFY(session.ConnectString().startsWith(QStringLiteral("DSN=") + source.dsn));
        QCOMPARE(ConnectString::AttributeValue(session.ConnectString(), QStringLiteral("PWD")), std::nullopt);
        QVERIFY(!session.ConnectString().contains(QLatin1String("velkaro-pw")));
        QVERIFY(!session.ConnectString().contains(QLatin1String("velkaro%2dpw")));
        QCOMPARE(session.Uid(), source.needsServer ? QStringLiteral("VELKARO") : QString());
        // SQLite has no users; everything else every driver gives.
        QCOMPARE(session.UserName(), source.needsServer ? QStringLiteral("velkaro") : QString());
        for (const QString& item :
             {session.DbmsName(), session.DbmsVersion(), session.ServerName(), session.OdbcVersion(),
              session.DriverName(), session.DriverOdbcVersion(), session.DriverVersion()})
            QVERIFY(!item.isEmpty());
        QVERIFY(session.LastError().isEmpty());
        QVERIFY(prompt.messages.isEmpty());
        QVERIFY(prompt.loginRequests.isEmpty());
    }

    void searchVariantShowsServerAndUser_data() { addSourceColumn(); }
    void searchVariantShowsServerAndUser()
    {
        QFETCH(QString, key);
        const TestDataSource& source = velkaro::test::testDataSource(key);
        VELKARO_REQUIRE_DATA_SOURCE(source);
        RecordingPrompt prompt;
        CDbSession session(SessionVariant::Search);
        QVERIFY(session.ConnectByString(source.connectString, prompt));
        QCOMPARE(session.DisplayName(), searchName(key));
        QVERIFY(session.DbmsName().isEmpty()); // the search program reads only server and user
    }

    void searchVariantWithoutDsn()
    {
        const TestDataSource& source = velkaro::test::testDataSource(QStringLiteral("postgres"));
        VELKARO_REQUIRE_DATA_SOURCE(source);
        RecordingPrompt prompt;
        CDbSession session(SessionVariant::Search);
        const QString input =
            QStringLiteral("DRIVER={PostgreSQL ANSI};SERVER=127.0.0.1;PORT=%1;DATABASE=shop;"
                           "UID=velkaro;PWD=velkaro-pw")
                .arg(odbcIni(QStringLiteral("ShopPostgres/Port")));
        QVERIFY(session.ConnectByString(input, prompt));
        QCOMPARE(session.DisplayName(), QStringLiteral(":127.0.0.1:velkaro"));
    }

    void connectCancelled()
    {
        RecordingPrompt prompt; // answers the data source dialog with cancel
        CDbSession session;
        QVERIFY(!session.Connect(prompt));
        QVERIFY(session.ConnectFailed());
        QCOMPARE(session.DisplayName(), QStringLiteral("Not Connected"));
        QCOMPARE(prompt.dataSourceRequests, 1);
        QCOMPARE(prompt.messages, QStringList{kConnectFailed});
    }

    void connectAsksForLoginAndRetries_data() { addServerColumn(); }
    void connectAsksForLoginAndRetries()
    {
        QFETCH(QString, key);
        const TestDataSource& source = velkaro::test::testDataSource(key);
        VELKARO_REQUIRE_DATA_SOURCE(source);
        RecordingPrompt prompt;
        prompt.dataSourceAnswers.push_back(QStringLiteral("DSN=") + source.dsn);
        prompt.loginAnswers.push_back(LoginAnswer{QStringLiteral("velkaro"), QStringLiteral("velkaro-pw")});
        CDbSession session;
        QVERIFY(session.Connect(prompt));
        QCOMPARE(prompt.loginRequests.size(), 1);
        QCOMPARE(prompt.loginRequests[0].dataSource, source.dsn);
        // Nothing was refused yet: the first prompt carries no driver complaint.
        QVERIFY2(prompt.loginRequests[0].problem.isEmpty(), qPrintable(prompt.loginRequests[0].problem));
        QVERIFY(prompt.messages.isEmpty());
        QCOMPARE(session.Uid(), QStringLiteral("VELKARO"));
        QCOMPARE(session.DisplayName(), source.dsn.toUpper());
        QVERIFY(!session.ConnectString().contains(QLatin1String("velkaro-pw")));
        QVERIFY(session.LastError().isEmpty());
    }

    void wrongPasswordThenCancel_data() { addServerColumn(); }
    void wrongPasswordThenCancel()
    {
        QFETCH(QString, key);
        const TestDataSource& source = velkaro::test::testDataSource(key);
        VELKARO_REQUIRE_DATA_SOURCE(source);
        RecordingPrompt prompt;
        prompt.dataSourceAnswers.push_back(QStringLiteral("DSN=") + source.dsn);
        prompt.loginAnswers.push_back(LoginAnswer{QStringLiteral("velkaro"), QStringLiteral("wrong")});
        CDbSession session;
        QVERIFY(!session.Connect(prompt));
        QCOMPARE(prompt.loginRequests.size(), 2);
        QCOMPARE(prompt.loginRequests[1].user, QStringLiteral("velkaro")); // proposed from the retried string
        QVERIFY2(prompt.loginRequests[1].problem.contains(QLatin1String("velkaro")),
                 qPrintable(prompt.loginRequests[1].problem));
        QCOMPARE(prompt.messages, QStringList{kConnectFailed});
        QVERIFY(session.ConnectFailed());
        QCOMPARE(session.DisplayName(), QStringLiteral("Not Connected"));
    }

    void refusedConnectionSaysWhy_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("input");  // %1: the server's port
        QTest::addColumn<QString>("reason"); // part of the driver's text
        QTest::addColumn<int>("logins");
        QTest::newRow("unknown data source")
            << QString() << QStringLiteral("DSN=NoSuchVelkaroSource") << QStringLiteral("not found") << 0;
        QTest::newRow("nothing listens on the port")
            << QStringLiteral("postgres")
            << QStringLiteral(
                   "DRIVER={PostgreSQL ANSI};SERVER=127.0.0.1;PORT=1;DATABASE=shop;UID=velkaro;PWD=x")
            << QStringLiteral("refused") << 0;
        // A password given with the data source was refused: the first prompt says so.
        QTest::newRow("password refused, then login cancelled")
            << QStringLiteral("postgres") << QStringLiteral("DSN=ShopPostgres;UID=velkaro;PWD=wrong")
            << QString() << 1;
        QTest::newRow("mariadb password refused, then login cancelled")
            << QStringLiteral("mariadb") << QStringLiteral("DSN=ShopMariaDB;UID=velkaro;PWD=wrong")
            << QString() << 1;
    }
    void refusedConnectionSaysWhy()
    {
        QFETCH(QString, key);
        QFETCH(QString, input);
        QFETCH(QString, reason);
        QFETCH(int, logins);
        if (!key.isEmpty())
            VELKARO_REQUIRE_DATA_SOURCE(velkaro::test::testDataSource(key));
        RecordingPrompt prompt;
        prompt.dataSourceAnswers.push_back(input);
        CDbSession session;
        QVERIFY(!session.Connect(prompt));
        QCOMPARE(prompt.loginRequests.size(), logins);
        QCOMPARE(prompt.errors.size(), 1);
        QVERIFY(prompt.errors.front().startsWith(kConnectFailed));
        if (logins > 0) {
            QVERIFY2(prompt.loginRequests.front().problem.contains(QLatin1String("velkaro")),
                     qPrintable(prompt.loginRequests.front().problem));
            QCOMPARE(prompt.errors.front(), kConnectFailed); // the user saw the reason and cancelled
        } else {
            QVERIFY2(prompt.errors.front().contains(QStringLiteral("\n\n")) &&
                         prompt.errors.front().contains(reason, Qt::CaseInsensitive),
                     qPrintable(prompt.errors.front()));
        }
    }

    void connectByStringAsksForMissingPassword_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("answered");
        QTest::newRow("postgres answered") << QStringLiteral("postgres") << true;
        QTest::newRow("mariadb answered") << QStringLiteral("mariadb") << true;
        QTest::newRow("postgres cancelled fails silently") << QStringLiteral("postgres") << false;
    }
    void connectByStringAsksForMissingPassword()
    {
        QFETCH(QString, key);
        QFETCH(bool, answered);
        const TestDataSource& source = velkaro::test::testDataSource(key);
        VELKARO_REQUIRE_DATA_SOURCE(source);
        RecordingPrompt prompt;
        if (answered)
            prompt.loginAnswers.push_back(
                LoginAnswer{QStringLiteral("velkaro"), QStringLiteral("velkaro-pw")});
        CDbSession session;
        const QString saved = ConnectString::WithoutPassword(source.connectString);
        QCOMPARE(session.ConnectByString(saved, prompt), answered);
        QCOMPARE(prompt.dataSourceRequests, 0);
        QCOMPARE(prompt.loginRequests.size(), 1);
        QCOMPARE(prompt.loginRequests[0].user, QStringLiteral("velkaro"));
        QVERIFY(prompt.messages.isEmpty());
        QCOMPARE(session.ConnectFailed(), !answered);
    }

    void connectByStringToAnUnknownSourceFailsSilently()
    {
        RecordingPrompt prompt;
        CDbSession session;
        QVERIFY(!session.ConnectByString(QStringLiteral("DSN=NoSuchSource"), prompt));
        QVERIFY(session.ConnectFailed());
        QCOMPARE(session.DisplayName(), QStringLiteral("Not Connected"));
        QVERIFY(prompt.loginRequests.isEmpty()); // not a login problem
        QVERIFY(prompt.messages.isEmpty());
        QVERIFY(!session.LastError().isEmpty());
    }

    void longOutputStringKeptWhole()
    {
        const TestDataSource& source = velkaro::test::testDataSource(QStringLiteral("postgres"));
        VELKARO_REQUIRE_DATA_SOURCE(source);
        // Many absent schemas on the search path: harmless, and psqlODBC echoes the option back.
        QStringList schemas{QStringLiteral("public")};
        for (int i = 0; i < 300; ++i)
            schemas.append(QStringLiteral("s%1").arg(i, 4, 10, QLatin1Char('0')));
        const QString option =
            QStringLiteral("pqopt={options=-csearch_path=%1}").arg(schemas.join(QLatin1Char(',')));
        RecordingPrompt prompt;
        CDbSession session;
        QVERIFY(session.ConnectByString(source.connectString + QLatin1Char(';') + option, prompt));
        QVERIFY2(session.ConnectString().size() > 1600, qPrintable(session.ConnectString()));
        QVERIFY(session.ConnectString().contains(option));
        QVERIFY(!session.ConnectString().contains(QLatin1String("PWD=")));
    }

    void reportErrorLogsOneLine_data() { addSourceColumn(); }
    void reportErrorLogsOneLine()
    {
        QFETCH(QString, key);
        const TestDataSource& source = velkaro::test::testDataSource(key);
        VELKARO_REQUIRE_DATA_SOURCE(source);
        RecordingPrompt prompt;
        RecordingLog log;
        CDbSession session;
        QVERIFY(session.ConnectByString(source.connectString, prompt));
        session.SetLog(&log);

        SQLHSTMT statement = SQL_NULL_HSTMT;
        QVERIFY(velkaro::IsSuccess(SQLAllocStmt(session.Hdbc(), &statement)));
        QByteArray sql("SELECT * FROM no_such_table");
        QVERIFY(
            !velkaro::IsSuccess(SQLExecDirect(statement, reinterpret_cast<SQLCHAR*>(sql.data()), SQL_NTS)));
        QVERIFY(session.ReportError(&statement, true));
        QVERIFY(session.LastError().contains(QLatin1String("no_such_table")));
        QCOMPARE(log.lines, QStringList{QStringLiteral("ERROR: ") + session.LastError()});
        QCOMPARE(prompt.messages, QStringList{session.LastError()});

        // A call that succeeded leaves nothing to report: no text, no log line.
        SQLFreeStmt(statement, SQL_CLOSE);
        sql = "SELECT 1";
        QCOMPARE(SQLExecDirect(statement, reinterpret_cast<SQLCHAR*>(sql.data()), SQL_NTS),
                 SQLRETURN(SQL_SUCCESS));
        QVERIFY(!session.ReportError(&statement, false));
        QVERIFY(session.LastError().isEmpty());
        QCOMPARE(log.lines.size(), 1);
        SQLFreeStmt(statement, SQL_DROP);
    }

    void reportErrorNullChecks()
    {
        RecordingPrompt prompt;
        RecordingLog log;
        CDbSession session;
        session.SetLog(&log);
        session.SetPrompt(&prompt);
        SQLHSTMT statement = SQL_NULL_HSTMT;
        QVERIFY(!session.ReportError(nullptr, false));
        QVERIFY(!session.ReportError(&statement, false)); // never connected: no connection handle
        QCOMPARE(prompt.messages, (QStringList{QStringLiteral("Cannot retrive statement information."),
                                               QStringLiteral("Cannot retrive connection information.")}));
        QVERIFY(log.lines.isEmpty());

        CDbSession search(SessionVariant::Search);
        search.SetPrompt(&prompt);
        QVERIFY(!search.ReportError(nullptr, true)); // no checks, no message, no crash
        QCOMPARE(prompt.messages.size(), 2);
    }

    // The cut works on the bytes: a value longer than the buffer, which the driver reports at its
    // full length, takes 9,999 bytes and the next value follows it at once. Without the cut the
    // next value would be written past the value's room, and past the buffer.
    void longValueCutOnTheRowBytes_data() { addSourceColumn(); }
    void longValueCutOnTheRowBytes()
    {
        QFETCH(QString, key);
        const TestDataSource& source = velkaro::test::testDataSource(key);
        VELKARO_REQUIRE_DATA_SOURCE(source);
        RecordingPrompt prompt;
        CDbSession session(SessionVariant::Search);
        QVERIFY(session.ConnectByString(source.connectString, prompt));
        const QString longFirst = key == QLatin1String("sqlite")
                                      ? QStringLiteral("SELECT hex(zeroblob(6000)), 'next', 'last'")
                                      : QStringLiteral("SELECT REPEAT('0', 12000), 'next', 'last'");
        SQLHSTMT statement = SQL_NULL_HSTMT;
        QCOMPARE(session.ExecuteQuery(statement, longFirst), QString());
        velkaro::FetchedRow row;
        QCOMPARE(session.FetchRow(statement, row), velkaro::FetchResult::Row);
        session.CloseQuery(statement);
        const QByteArray bytes(row.Bytes().data(), qsizetype(row.Bytes().size()));
        QCOMPARE(bytes, QByteArray(9999, '0') + " \t next \t last");
    }

    // Rows come through bound buffers of a few hundred bytes, many rows a fetch where the driver
    // allows: a value at the edge of a buffer, past it, NULL, or multi-byte across it, in any row
    // of a block, reads the same as value by value.
    void boundRowsReadAsValueByValue_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("query");
        QTest::newRow("sqlite edges")
            << "sqlite"
            << "SELECT substr(hex(zeroblob(200)), 1, 255), NULL, "
               "substr(hex(zeroblob(200)), 1, 256), 'x', replace(hex(zeroblob(150)), "
               "'00', 'é'), 42 UNION ALL SELECT 'short', 'é', NULL, "
               "hex(zeroblob(3000)), '', -1";
        QTest::newRow("sqlite long values across blocks")
            << "sqlite"
            << "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 700) "
               "SELECT i, substr(hex(zeroblob(i)), 1, i), CASE WHEN i % 3 = 0 THEN NULL ELSE 'é' END FROM n";
        const char* const edges =
            "SELECT REPEAT('a', 255), NULL, REPEAT('b', 256), 'x', REPEAT('é', 150), 42 "
            "UNION ALL SELECT 'short', 'é', NULL, REPEAT('c', 6000), '', -1";
        QTest::newRow("postgres edges") << "postgres" << edges;
        QTest::newRow("postgres long values across blocks")
            << "postgres"
            << "SELECT i, REPEAT('d', i), CASE WHEN i % 3 = 0 THEN NULL ELSE 'é' END "
               "FROM generate_series(1, 700) AS i";
        QTest::newRow("mariadb edges") << "mariadb" << edges;
        QTest::newRow("mariadb long values across blocks")
            << "mariadb"
            << "SELECT seq, REPEAT('d', seq), CASE WHEN seq % 3 = 0 THEN NULL ELSE 'é' END FROM seq_1_to_700";
    }
    void boundRowsReadAsValueByValue()
    {
        QFETCH(QString, key);
        QFETCH(QString, query);
        const TestDataSource& source = velkaro::test::testDataSource(key);
        VELKARO_REQUIRE_DATA_SOURCE(source);
        RecordingPrompt prompt;
        CDbSession session(SessionVariant::Search);
        QVERIFY(session.ConnectByString(source.connectString, prompt));
        const auto rowsOf = [&](bool bound) {
            SQLHSTMT statement = SQL_NULL_HSTMT;
            QByteArrayList rows;
            if (!session.ExecuteQuery(statement, query).isEmpty())
                return rows;
            SQLSMALLINT columns = 0;
            SQLNumResultCols(statement, &columns);
            velkaro::FetchedRow row;
            while (bound ? session.FetchRow(statement, row) == velkaro::FetchResult::Row
                         : velkaro::IsSuccess(SQLFetch(statement))) {
                if (!bound)
                    row.Read(statement, columns);
                rows.append(QByteArray(row.Bytes().data(), qsizetype(row.Bytes().size())));
            }
            session.CloseQuery(statement);
            return rows;
        };
        const QByteArrayList valueByValue = rowsOf(false);
        QVERIFY(valueByValue.size() >= 2);
        QVERIFY(valueByValue.last().size() > 600); // the long value came whole
        QCOMPARE(rowsOf(true), valueByValue);
    }

    // The search session has the driver hand over rows as they are fetched, even when the user's
    // string asks for whole results: an error in a late row then comes with the fetch of that row,
    // where a driver holding whole results meets it at execute already.
    void searchSessionStreamsRows_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("userAttributes");
        QTest::addColumn<SessionVariant>("variant");
        QTest::addColumn<bool>("streams");
        QTest::newRow("sqlite search") << "sqlite"
                                       << "" << SessionVariant::Search << true;
        QTest::newRow("sqlite search, user asks for whole results")
            << "sqlite"
            << ";StepAPI=0" << SessionVariant::Search << true;
        QTest::newRow("sqlite explorer keeps the driver's way") << "sqlite"
                                                                << "" << SessionVariant::Explorer << false;
        QTest::newRow("postgres search") << "postgres"
                                         << "" << SessionVariant::Search << true;
        QTest::newRow("postgres search, user asks for whole results")
            << "postgres"
            << ";usedeclarefetch=0;Fetch=100000" << SessionVariant::Search << true;
        QTest::newRow("postgres explorer keeps the driver's way") << "postgres"
                                                                  << "" << SessionVariant::Explorer << false;
    }

    void searchSessionStreamsRows()
    {
        QFETCH(QString, key);
        QFETCH(QString, userAttributes);
        QFETCH(SessionVariant, variant);
        QFETCH(bool, streams);
        const TestDataSource& source = velkaro::test::testDataSource(key);
        VELKARO_REQUIRE_DATA_SOURCE(source);
        RecordingPrompt prompt;
        CDbSession session(variant);
        QVERIFY(session.ConnectByString(source.connectString + userAttributes, prompt));
        QCOMPARE(session.GetRowReading(),
                 streams ? velkaro::RowReading::Streamed : velkaro::RowReading::AsDriver);
        // The saved and shown string stays the user's.
        QVERIFY(!session.ConnectString().contains(QLatin1String("StepAPI=1")));
        QVERIFY(!session.ConnectString().contains(QLatin1String("UseDeclareFetch=1")));

        const QString lateError =
            key == QLatin1String("sqlite")
                ? QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < "
                                 "30000) SELECT CASE WHEN i = 20000 THEN abs(-9223372036854775807 - 1) ELSE "
                                 "i END FROM n")
                : QStringLiteral("SELECT CASE WHEN i = 20000 THEN 1 / (i - i) ELSE i END FROM "
                                 "generate_series(1, 30000) AS i");
        SQLHSTMT statement = SQL_NULL_HSTMT;
        const QString error = session.ExecuteQuery(statement, lateError);
        QCOMPARE(error.isEmpty(), streams);
        if (!streams)
            return;
        QString row;
        int rows = 0;
        velkaro::FetchResult fetched;
        while ((fetched = session.FetchRowText(statement, row)) == velkaro::FetchResult::Row)
            ++rows;
        session.CloseQuery(statement);
        QCOMPARE(fetched, velkaro::FetchResult::Failed);
        QVERIFY2(rows > 0 && rows < 20000, qPrintable(QString::number(rows)));
    }

    void searchQueriesReadRowsAsText_data() { addSourceColumn(); }
    void searchQueriesReadRowsAsText()
    {
        QFETCH(QString, key);
        const TestDataSource& source = velkaro::test::testDataSource(key);
        VELKARO_REQUIRE_DATA_SOURCE(source);
        RecordingPrompt prompt;
        RecordingLog log;
        CDbSession session(SessionVariant::Search);
        QVERIFY(session.ConnectByString(source.connectString, prompt));
        session.SetLog(&log);

        SQLHSTMT statement = SQL_NULL_HSTMT;
        QCOMPARE(session.ExecuteQuery(statement,
                                      QStringLiteral("SELECT customer_id, name, city, notes FROM customers "
                                                     "WHERE customer_id IN (2, 7) ORDER BY customer_id")),
                 QString());
        QCOMPARE(fetchAll(session, statement),
                 (QStringList{QStringLiteral("2 \t Zoë Dvořák \t São Paulo \t "),
                              QStringLiteral("7 \t Ιωάννης Παπαδόπουλος \t  \t ")}));
        session.CloseQuery(statement);
        QVERIFY(statement == SQL_NULL_HSTMT);

        // A value past 9999 bytes is cut there, never inside a character.
        QVERIFY(
            session
                .ExecuteQuery(statement, QStringLiteral("SELECT notes FROM customers WHERE customer_id = 5"))
                .isEmpty());
        const QStringList notes = fetchAll(session, statement);
        session.CloseQuery(statement);
        QCOMPARE(notes.size(), 1);
        QCOMPARE(notes[0].toUtf8().size(), 9999);
        QVERIFY(notes[0].startsWith(QStringLiteral("Lorem ipsum dolor sit amet, ünïcödé Lorem")));
        const QString twoByteRepeat = key == QLatin1String("sqlite")
                                          ? QStringLiteral("SELECT replace(hex(zeroblob(5000)), '00', 'é')")
                                          : QStringLiteral("SELECT REPEAT('é', 5000)");
        QVERIFY(session.ExecuteQuery(statement, twoByteRepeat).isEmpty());
        QCOMPARE(fetchAll(session, statement), QStringList{QString(4999, QChar(0xE9))});
        session.CloseQuery(statement);
        const QString asciiRepeat = key == QLatin1String("sqlite")
                                        ? QStringLiteral("SELECT hex(zeroblob(6000))")
                                        : QStringLiteral("SELECT REPEAT('0', 12000)");
        QVERIFY(session.ExecuteQuery(statement, asciiRepeat).isEmpty());
        QCOMPARE(fetchAll(session, statement), QStringList{QString(9999, QLatin1Char('0'))});
        session.CloseQuery(statement);

        // Two open statements read in turn, each with its own column count.
        SQLHSTMT wide = SQL_NULL_HSTMT;
        SQLHSTMT narrow = SQL_NULL_HSTMT;
        QVERIFY(session
                    .ExecuteQuery(wide, QStringLiteral("SELECT customer_id, city FROM customers "
                                                       "WHERE customer_id IN (2, 3) ORDER BY customer_id"))
                    .isEmpty());
        QVERIFY(session
                    .ExecuteQuery(narrow, QStringLiteral("SELECT customer_id FROM customers "
                                                         "WHERE customer_id IN (2, 3) ORDER BY customer_id"))
                    .isEmpty());
        QString row;
        QCOMPARE(session.FetchRowText(wide, row), velkaro::FetchResult::Row);
        QCOMPARE(row, QStringLiteral("2 \t São Paulo"));
        QCOMPARE(session.FetchRowText(narrow, row), velkaro::FetchResult::Row);
        QCOMPARE(row, QStringLiteral("2"));
        QCOMPARE(session.FetchRowText(wide, row), velkaro::FetchResult::Row);
        QVERIFY2(row.startsWith(QLatin1String("3 \t ")), qPrintable(row));
        QCOMPARE(session.FetchRowText(narrow, row), velkaro::FetchResult::Row);
        QCOMPARE(row, QStringLiteral("3"));
        QCOMPARE(session.FetchRowText(narrow, row), velkaro::FetchResult::End);
        QCOMPARE(row, QStringLiteral("3")); // the end leaves the last row as it was
        session.CloseQuery(wide);
        session.CloseQuery(narrow);

        // The bytes of a row are the driver's; its text ends each value at a NUL (PostgreSQL
        // text cannot hold one).
        if (key != QLatin1String("postgres")) {
            const QString withNul = key == QLatin1String("sqlite")
                                        ? QStringLiteral("SELECT 'ab', 'cd' || char(0) || 'ef', 'Zoë'")
                                        : QStringLiteral("SELECT 'ab', CONCAT('cd', CHAR(0), 'ef'), 'Zoë'");
            QVERIFY(session.ExecuteQuery(statement, withNul).isEmpty());
            velkaro::FetchedRow fetched;
            QCOMPARE(session.FetchRow(statement, fetched), velkaro::FetchResult::Row);
            const QByteArray bytes(fetched.Bytes().data(), qsizetype(fetched.Bytes().size()));
            QVERIFY2(bytes.startsWith("ab \t cd") && bytes.endsWith(" \t Zo\xc3\xab"),
                     bytes.toPercentEncoding().constData());
            QString text = QStringLiteral("left from before");
            fetched.TextInto(text);
            QCOMPARE(text, QStringLiteral("ab \t cd \t Zoë"));
            QCOMPARE(session.FetchRow(statement, fetched), velkaro::FetchResult::End);
            session.CloseQuery(statement);
        }

        const QString error = session.ExecuteQuery(statement, QStringLiteral("SELECT * FROM no_such_table"));
        QVERIFY2(error.contains(QLatin1String("no_such_table")), qPrintable(error));
        QCOMPARE(error, session.LastError());
        QVERIFY(statement == SQL_NULL_HSTMT);
        QVERIFY(log.lines.isEmpty()); // the search program logs nothing
    }
};

QTEST_GUILESS_MAIN(CDbSessionTest)
#include "CDbSessionTest.moc"

#include "RecordingPrompt.h"
#include "RecordingSearchHost.h"
#include "TestDataSources.h"
#include "catalog/CDbSession.h"
#include "search/engine/DirectReportWriter.h"
#include "search/engine/ReportDocument.h"
#include "search/engine/SearchRun.h"

#include <QTemporaryDir>
#include <QTest>
#include <sqlext.h>

using namespace velkaro;

Q_DECLARE_METATYPE(velkaro::SpecialNameMode)

namespace {

// One engine run on the calling thread, on a connection the test may also use for its own
// statements.
struct ScopedRun
{
    test::RecordingPrompt prompt;
    CDbSession session{SessionVariant::Search};
    ReportDocument document{prompt};
    DirectReportWriter writer{document};
    test::RecordingSearchHost host;
    int instances = -1;

    bool connect(const QString& connectString) { return session.ConnectByString(connectString, prompt); }

    // Runs one statement; an empty text on success.
    QString exec(const QString& sql)
    {
        SQLHSTMT statement = SQL_NULL_HSTMT;
        SQLAllocStmt(session.Hdbc(), &statement);
        QByteArray text = sql.toUtf8();
        const SQLRETURN rc = SQLExecDirect(statement, reinterpret_cast<SQLCHAR*>(text.data()), SQL_NTS);
        QString error;
        if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA)
            error = session.ReportError(&statement, false) ? session.LastError() : QStringLiteral("failed");
        SQLFreeStmt(statement, SQL_DROP);
        return error.isEmpty() ? QString() : sql + QStringLiteral(": ") + error;
    }

    // The first value of the query's first row, or the error.
    QString value(const QString& sql)
    {
        SQLHSTMT statement = SQL_NULL_HSTMT;
        const QString error = session.ExecuteQuery(statement, sql);
        if (!error.isEmpty())
            return error;
        QString row;
        if (session.FetchRowText(statement, row) != FetchResult::Row)
            row = QStringLiteral("<no row>");
        session.CloseQuery(statement);
        return row;
    }

    QString run(const SearchParameters& parameters, const QStringList& filter = {})
    {
        SearchRun searchRun(session, parameters, writer, host);
        searchRun.SetObjectFilter(filter);
        searchRun.RunSearch();
        instances = searchRun.InstancesFound();
        return document.Document().toPlainText();
    }
};

SearchParameters Searching(const QString& text, bool data)
{
    SearchParameters parameters;
    parameters.AcceptSearchText(text);
    parameters.searchColumnNames = parameters.searchDataTypes = parameters.searchIndexes = false;
    parameters.searchData = data;
    return parameters;
}

QString Quoted(const QString& name, const QString& quote)
{
    return quote + QString(name).replace(quote, quote + quote) + quote;
}

// Names that end a name, start another statement or a comment when written unquoted.
const QString kHostileTable = QStringLiteral("hostile \"t\" `b`; -- /* #");
const QString kInjectingColumn = QStringLiteral("x from zz_victim; drop table zz_victim; --");
const QString kHostileColumn = QStringLiteral("q\"uote`tick /*c*/ #h");

} // namespace

class SearchScopeTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(m_dir.isValid()); }

    // A table in a schema other than the current one, and the one in the schema named after the
    // login, are searched without being named.
    void everySchemaIsSearched()
    {
        const test::TestDataSource& source = test::testDataSource("postgres");
        VELKARO_REQUIRE_DATA_SOURCE(source);
        ScopedRun run;
        QVERIFY(run.connect(source.connectString));

        const QString report = run.run(Searching("2020-01-31|own schema note|needle-4711", true));

        QVERIFY2(report.contains("Instances found in data from TABLE archive.customers"), qPrintable(report));
        QVERIFY2(report.contains("Instances found in data from MATVIEW login_notes"), qPrintable(report));
        QVERIFY2(report.contains("Instances found in data from TABLE public.customers"), qPrintable(report));
        QVERIFY2(report.contains("Instances found in data from TABLE group"), qPrintable(report));
        QVERIFY(!report.contains("The following error"));
    }

    void systemObjects_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("systemObject");
        QTest::addColumn<bool>("option");
        QTest::addColumn<QStringList>("filter");
        QTest::addColumn<bool>("searched");
        const QString pgClass = QStringLiteral("pg_catalog.pg_class");
        const QString collations = QStringLiteral("information_schema.COLLATIONS");
        QTest::newRow("postgres: pg_catalog left out by default")
            << "postgres" << pgClass << false << QStringList{} << false;
        QTest::newRow("postgres: pg_catalog with the option")
            << "postgres" << pgClass << true << QStringList{} << true;
        QTest::newRow("postgres: named with its schema")
            << "postgres" << pgClass << false << QStringList{pgClass} << true;
        QTest::newRow("postgres: a bare name is no system object")
            << "postgres" << pgClass << false << QStringList{"pg_class"} << false;
        QTest::newRow("mariadb: information_schema left out by default")
            << "mariadb" << collations << false << QStringList{} << false;
        QTest::newRow("mariadb: information_schema with the option")
            << "mariadb" << collations << true << QStringList{} << true;
        QTest::newRow("mariadb: named with its database")
            << "mariadb" << collations << false << QStringList{collations} << true;
    }

    void systemObjects()
    {
        QFETCH(QString, key);
        QFETCH(QString, systemObject);
        QFETCH(bool, option);
        QFETCH(QStringList, filter);
        QFETCH(bool, searched);
        const test::TestDataSource& source = test::testDataSource(key);
        VELKARO_REQUIRE_DATA_SOURCE(source);
        ScopedRun run;
        QVERIFY(run.connect(source.connectString));
        const QString name = systemObject.section(QLatin1Char('.'), 1);
        SearchParameters parameters = Searching(name, false);
        parameters.searchSystemObjects = option;

        const QString report = run.run(parameters, filter);

        QCOMPARE(run.host.objectList().contains(name), searched);
        QCOMPARE(report.contains("Instances found in Object Names"), searched);
        if (!option)
            QVERIFY2(!report.contains("access denied", Qt::CaseInsensitive), qPrintable(report));
    }

    // Another database the login can read is another data source: it is not searched.
    void mariadbSearchesItsOwnDatabase()
    {
        const test::TestDataSource& source = test::testDataSource("mariadb");
        VELKARO_REQUIRE_DATA_SOURCE(source);
        ScopedRun run;
        QVERIFY(run.connect(source.connectString));
        for (const char* sql : {"DROP DATABASE IF EXISTS scratch_second", "CREATE DATABASE scratch_second",
                                "CREATE TABLE scratch_second.elsewhere (note VARCHAR(40))",
                                "INSERT INTO scratch_second.elsewhere VALUES ('needle-elsewhere')"})
            QCOMPARE(run.exec(QString::fromLatin1(sql)), QString());

        SearchParameters parameters = Searching("needle-elsewhere|elsewhere|needle-4711", true);
        parameters.searchColumnNames = true;
        const QString report = run.run(parameters);
        const QString dropped = run.exec("DROP DATABASE scratch_second");

        QVERIFY2(!run.host.objectList().contains("elsewhere"), qPrintable(run.host.objectList().join(',')));
        QVERIFY2(!report.contains("Instances found in Object Names"), qPrintable(report));
        QVERIFY2(!report.contains("needle-elsewhere'") && !report.contains("from TABLE elsewhere"),
                 qPrintable(report));
        QVERIFY2(report.contains("Instances found in data from TABLE group"), qPrintable(report));
        QCOMPARE(dropped, QString());
    }

    // A name can never change the statement: in every naming mode, the table and the table a
    // column name tries to drop are still there, and the row is found.
    void hostileNames_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<SpecialNameMode>("mode");
        const std::pair<const char*, SpecialNameMode> modes[] = {
            {"automatic", SpecialNameMode::AutoDetect},
            {"all special", SpecialNameMode::AllSpecial},
            {"all regular", SpecialNameMode::AllRegular}};
        for (const char* key : {"sqlite", "postgres", "mariadb"}) {
            for (const auto& [name, mode] : modes)
                QTest::addRow("%s, %s", key, name) << QString::fromLatin1(key) << mode;
        }
    }

    void hostileNames()
    {
        QFETCH(QString, key);
        QFETCH(SpecialNameMode, mode);
        const test::TestDataSource& source = test::testDataSource(key);
        VELKARO_REQUIRE_DATA_SOURCE(source);
        ScopedRun run;
        QVERIFY(openScratch(run, source));
        const QString quote = key == "mariadb" ? QStringLiteral("`") : QStringLiteral("\"");
        const QString table = Quoted(kHostileTable, quote);
        // A word MariaDB reserves beyond the ODBC list; "all regular" leaves plain words to the user.
        const bool reads = mode != SpecialNameMode::AllRegular;
        const QString readsColumn = reads ? ", " + Quoted("reads", quote) + " INTEGER" : QString();
        const QString readsValue = reads ? QStringLiteral(", 7") : QString();
        for (const QString& sql :
             {QStringLiteral("CREATE TABLE zz_victim (x VARCHAR(10))"),
              QStringLiteral("INSERT INTO zz_victim VALUES ('kept')"),
              QStringLiteral("CREATE TABLE %1 (%2 VARCHAR(20), %3 VARCHAR(20), plain VARCHAR(40)%4)")
                  .arg(table, Quoted(kInjectingColumn, quote), Quoted(kHostileColumn, quote), readsColumn),
              QStringLiteral("INSERT INTO %1 VALUES ('a', 'b', 'needle-hostile row'%2)")
                  .arg(table, readsValue),
              QStringLiteral("INSERT INTO %1 VALUES ('c', 'd', 'other row'%2)").arg(table, readsValue)})
            QCOMPARE(run.exec(sql), QString());
        SearchParameters parameters = Searching("needle-hostile", true);
        parameters.searchObjectNames = false;
        parameters.specialNameMode = mode;

        // The table alone: in "all regular" mode the sample's own names that need quotes fail, and
        // on PostgreSQL a failure ends the test's transaction.
        const QString report = run.run(parameters, {kHostileTable});
        const QString tableRows = run.value("SELECT COUNT(*) FROM " + table);
        const QString victimRows = run.value("SELECT COUNT(*) FROM zz_victim");
        closeScratch(run, key);

        QVERIFY2(!report.contains("The following error"), qPrintable(report));
        QVERIFY2(report.contains("Instances found in data from TABLE " + kHostileTable), qPrintable(report));
        QVERIFY2(report.contains("needle-hostile row"), qPrintable(report));
        QCOMPARE(run.instances, 1);
        QCOMPARE(tableRows, QStringLiteral("2"));
        QCOMPARE(victimRows, QStringLiteral("1"));
    }

private:
    // A place of the test's own that no other test lists: a new SQLite file, an uncommitted
    // PostgreSQL transaction (its tables are seen by this connection alone), a MariaDB database.
    bool openScratch(ScopedRun& run, const test::TestDataSource& source)
    {
        if (source.key == "sqlite")
            return run.connect("Driver=SQLite3;Database=" +
                               m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + ".db"));
        if (source.key == "postgres")
            return run.connect(source.connectString) &&
                   SQL_SUCCEEDED(SQLSetConnectOption(run.session.Hdbc(), SQL_AUTOCOMMIT, SQL_AUTOCOMMIT_OFF));
        {
            ScopedRun setup;
            if (!setup.connect(source.connectString) ||
                !setup.exec("DROP DATABASE IF EXISTS scratch_hostile").isEmpty() ||
                !setup.exec("CREATE DATABASE scratch_hostile CHARACTER SET utf8mb4").isEmpty())
                return false;
        }
        return run.connect(source.connectString + ";DATABASE=scratch_hostile");
    }

    void closeScratch(ScopedRun& run, const QString& key)
    {
        if (key == "postgres")
            SQLTransact(SQL_NULL_HENV, run.session.Hdbc(), SQL_ROLLBACK);
        if (key == "mariadb")
            QCOMPARE(run.exec("DROP DATABASE scratch_hostile"), QString());
    }

    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(SearchScopeTest)
#include "SearchScopeTest.moc"

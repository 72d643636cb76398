// The server-side filter: on the three drivers, with every match mode and case rule, a search with
// the filter writes the same report as one that reads every row; and where the filter cannot be
// proven, the object is read whole and the coverage list says why.

#include "RecordingPrompt.h"
#include "RecordingSearchHost.h"
#include "SqliteFixture.h"
#include "TestDataSources.h"
#include "catalog/CDbSession.h"
#include "catalog/SystemSchemas.h"
#include "search/engine/ColumnSearch.h"
#include "search/engine/DataSearch.h"
#include "search/engine/DirectReportWriter.h"
#include "search/engine/ObjectNameSearch.h"
#include "search/engine/ReportDocument.h"
#include "search/engine/RunContext.h"
#include "search/engine/RunCoverage.h"
#include "search/engine/RunFlags.h"
#include "search/engine/RunTitle.h"

#include <QTemporaryDir>
#include <QTest>
#include <map>
#include <memory>

using namespace velkaro;

namespace {

// How each server writes the literals the fixture needs.
struct Dialect
{
    QString binaryType;
    QString booleanType;
    QString (*binary)(const QString& hex);
    QString (*concat)(const QString& a, const QString& b);
    QString tab;
    QString backslash; // a literal holding back\slash
    QString repeatX;   // 10,000 times 'x'
};

QString concatBars(const QString& a, const QString& b)
{
    return a + " || " + b;
}

QString concatCall(const QString& a, const QString& b)
{
    return "CONCAT(" + a + ", " + b + ")";
}

const Dialect& dialectOf(const QString& key)
{
    static const std::map<QString, Dialect> dialects{
        {"postgres",
         {"bytea", "boolean", [](const QString& hex) { return "decode('" + hex + "', 'hex')"; }, concatBars,
          "chr(9)", "'back\\slash'", "repeat('x', 10000)"}},
        {"mariadb",
         {"varbinary(20)", "boolean", [](const QString& hex) { return "x'" + hex + "'"; }, concatCall,
          "CHAR(9)", "'back\\\\slash'", "REPEAT('x', 10000)"}},
        {"sqlite",
         {"blob", "boolean", [](const QString& hex) { return "x'" + hex + "'"; }, concatBars, "char(9)",
          "'back\\slash'", "printf('%.*c', 10000, 'x')"}}};
    return dialects.at(key);
}

const QStringList kTables{"filter_words", "filter_mixed"};
const char* const kMariaDbScratch = "scratch_filter";

// Rows with the characters that make a filter hard: upper-casing outside ASCII (the dotless i,
// the long s, sharp s), LIKE and GLOB characters, a quote, a backslash, a bar, a tab inside a
// value, padded CHAR values, a term past the 9,999-byte cut, numbers and NULLs.
QStringList wordRows(const Dialect& d)
{
    return {
        "(1, 'needle-4711', 'ab', 'plain note', 12.5)",
        "(2, 'İstanbul dısk', 'ſtr', 'Long ſ and ß straße', -4711)",
        "(3, 'a%b_c', 'O''Brien', " + d.backslash + ", 0)",
        "(4, 'Zwölf ZWÖLF zwölf', 'x|y', 'ÀÉÎ àéî', NULL)",
        "(5, NULL, NULL, NULL, NULL)",
        "(6, 'a needle here', 'b', " + d.concat(d.repeatX, "'needle-4711'") + ", 47.11)",
        "(7, " + d.concat(d.concat("'tab'", d.tab), "'here'") + ", ' c', 'DISK disk', 4711)",
        "(8, 'prefix needle-4711suffix', 'needle', 'ab  b', 0.5)",
        "(9, 'AXB a_b A%B', '%', 'ordinary', 1)",
    };
}

QStringList mixedRows(const Dialect& d)
{
    return {
        "(1, 'needle-4711', 'ab', 1.5, '2024-01-02', '2024-01-02 03:04:05', true, " + d.binary("41ff") + ")",
        "(2, 'dısk', 'ſ', 4711.5, '1999-12-31', '1999-12-31 23:59:59', false, " + d.binary("00ff") + ")",
        "(3, NULL, NULL, NULL, NULL, NULL, NULL, NULL)",
        "(4, 'Zwölf', 'x', -0.25, '2011-04-07', '2011-04-07 11:47:00', true, " + d.binary("4711") + ")",
    };
}

// More matching rows than one probe takes, some of them moved to the end of the table by an
// update, in a column named as the probe's subquery; and a table whose rows come from its
// inheritor too.
QStringList probeFixture()
{
    return {"DROP TABLE IF EXISTS filter_many, filter_child, filter_parent",
            "CREATE TABLE filter_many (id INTEGER, probe TEXT)",
            "INSERT INTO filter_many SELECT i, 'needle ' || i FROM generate_series(1, 10000) AS i",
            "UPDATE filter_many SET probe = probe || ' moved' WHERE id % 1000 = 1",
            "ANALYZE filter_many",
            "CREATE TABLE filter_parent (id INTEGER, note TEXT)",
            "CREATE TABLE filter_child () INHERITS (filter_parent)",
            "INSERT INTO filter_parent VALUES (1, 'needle p1'), (2, 'needle p2'), (3, 'needle p3')",
            "INSERT INTO filter_child VALUES (4, 'needle c1'), (5, 'needle c2'), (6, 'needle c3')"};
}

QStringList fixtureStatements(const QString& key)
{
    const Dialect& d = dialectOf(key);
    const QString words = "CREATE TABLE filter_words (id INTEGER NOT NULL PRIMARY KEY, name VARCHAR(12000), "
                          "code CHAR(8), note TEXT, amount NUMERIC(12,3))";
    const QString mixed = "CREATE TABLE filter_mixed (id INTEGER NOT NULL PRIMARY KEY, name VARCHAR(60), "
                          "code CHAR(4), ratio DOUBLE PRECISION, born DATE, stamp TIMESTAMP, flag " +
                          d.booleanType + ", data " + d.binaryType + ")";
    QStringList statements{"DROP TABLE IF EXISTS filter_words", "DROP TABLE IF EXISTS filter_mixed", words,
                           mixed};
    statements.append("INSERT INTO filter_words VALUES " + wordRows(d).join(", "));
    statements.append("INSERT INTO filter_mixed VALUES " + mixedRows(d).join(", "));
    if (key == "postgres")
        statements.append(probeFixture());
    if (key == "sqlite") {
        // SQLite keeps any value in any column: text in a number column, a blob in a text column.
        statements.append(
            "INSERT INTO filter_mixed VALUES (5, x'4e45', 'ab', 'needle', 'DISK', 47.11, 'yes', "
            "'needle-4711')");
    }
    return statements;
}

struct Search
{
    QString report;
    qint64 rowsRead = 0;
    std::vector<RunCoverage::Entry> notes;
};

} // namespace

class ServerFilterTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_sqliteDir.isValid());
        for (const test::TestDataSource& source : test::testDataSources()) {
            if (!test::unavailableReason(source).isEmpty())
                continue;
            auto session = std::make_unique<CDbSession>(SessionVariant::Search);
            const QString connect = scratchConnectString(source);
            QVERIFY2(!connect.isEmpty(), qPrintable(source.key));
            QVERIFY2(session->ConnectByString(connect, m_prompt),
                     qPrintable(source.key + ": no scratch database (start the test servers afresh)"));
            for (const QString& statement : fixtureStatements(source.key))
                QVERIFY2(execute(*session, statement), qPrintable(statement));
            m_sessions[source.key] = std::move(session);
        }
    }

    void cleanupTestCase()
    {
        for (auto& [key, session] : m_sessions) {
            for (const QString& table : kTables)
                execute(*session, "DROP TABLE IF EXISTS " + table);
            if (key == "postgres")
                execute(*session, "DROP TABLE IF EXISTS filter_many, filter_child, filter_parent");
        }
        m_sessions.clear();
        if (const auto& mariadb = test::testDataSource("mariadb");
            test::unavailableReason(mariadb).isEmpty()) {
            CDbSession shop(SessionVariant::Search);
            if (shop.ConnectByString(mariadb.connectString, m_prompt))
                execute(shop, "DROP DATABASE IF EXISTS " + QString(kMariaDbScratch));
        }
    }

    void sameReportWithAndWithoutFilter_data()
    {
        QTest::addColumn<QString>("driver");
        QTest::addColumn<QString>("text");
        const QList<QPair<const char*, QString>> terms{
            {"rare word", "needle-4711"},
            {"alternatives", "NEEDLE|zwölf|4711"},
            {"percent and underscore", "a%b_c"},
            {"underscore alone", "_"},
            {"quote", "O'Brien"},
            {"backslash", "back\\slash"},
            {"literal bar", "x\\|y"},
            {"dotless i matches I", "DISK"},
            {"dotless i as term", "ı"},
            {"long s matches S", "STR"},
            {"sharp s", "straß"},
            {"accented capitals", "àéî"},
            {"digits in numbers", "471"},
            {"number with point", "12.5"},
            {"hex of binary", "41FF"},
            {"date digits", "2024-01"},
            {"boolean digit", "1"},
            {"blank around a word", " ab "},
            {"trailing blank in padded values", "b "},
            {"blanks only", "  "},
            {"tab in a term", "tab\there"},
            {"term past the 9999-byte cut", "xneedle"},
        };
        for (const test::TestDataSource& source : test::testDataSources()) {
            for (const auto& [name, text] : terms)
                QTest::newRow(qPrintable(source.key + ": " + name)) << source.key << text;
        }
    }

    // Every match mode and case rule: the reports are the same byte for byte.
    void sameReportWithAndWithoutFilter()
    {
        QFETCH(QString, driver);
        QFETCH(QString, text);
        CDbSession* session = sessionFor(driver);
        if (session == nullptr)
            VELKARO_REQUIRE_DATA_SOURCE(test::testDataSource(driver));
        QVERIFY(session != nullptr);
        for (const MatchMode mode :
             {MatchMode::AnySubstring, MatchMode::WholeWord, MatchMode::Prefix, MatchMode::Suffix}) {
            for (const bool matchCase : {false, true}) {
                const Search filtered = search(*session, text, mode, matchCase, true);
                const Search whole = search(*session, text, mode, matchCase, false);
                const QString context = QString("mode %1, case %2").arg(int(mode)).arg(matchCase);
                QVERIFY2(
                    filtered.report == whole.report,
                    qPrintable(context + "\nfiltered:\n" + filtered.report + "\nwhole:\n" + whole.report));
                QVERIFY2(filtered.rowsRead <= whole.rowsRead, qPrintable(context));
            }
        }
    }

    void howRowsAreRead_data()
    {
        QTest::addColumn<QString>("driver");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("why"); // empty: filtered by the server
        QTest::newRow("postgres: word kept out of numbers and dates") << "postgres"
                                                                      << "needle"
                                                                      << "filter_mixed"
                                                                      << "";
        QTest::newRow("postgres: digits may be a date") << "postgres"
                                                        << "2024"
                                                        << "filter_mixed"
                                                        << "column born (date): the driver rewrites";
        QTest::newRow("postgres: digits tested on the numbers' text") << "postgres"
                                                                      << "1"
                                                                      << "filter_words"
                                                                      << "";
        QTest::newRow("postgres: padded blanks") << "postgres"
                                                 << "  x"
                                                 << "filter_words"
                                                 << "";
        QTest::newRow("mariadb: binary column") << "mariadb"
                                                << "needle"
                                                << "filter_mixed"
                                                << "column data (varbinary): binary";
        QTest::newRow("mariadb: words") << "mariadb"
                                        << "needle"
                                        << "filter_words"
                                        << "";
        QTest::newRow("sqlite: any value in any column") << "sqlite"
                                                         << "needle"
                                                         << "filter_mixed"
                                                         << "";
        QTest::newRow("any driver: tab in a term") << "sqlite"
                                                   << "a\tb"
                                                   << "filter_words"
                                                   << "a term holds a tab";
        QTest::newRow("any driver: blanks only") << "postgres"
                                                 << " "
                                                 << "filter_words"
                                                 << "a term of blanks";
    }

    // The coverage list says how each object was read, and a filtered one reads fewer rows.
    void howRowsAreRead()
    {
        QFETCH(QString, driver);
        QFETCH(QString, text);
        QFETCH(QString, table);
        QFETCH(QString, why);
        CDbSession* session = sessionFor(driver);
        if (session == nullptr)
            VELKARO_REQUIRE_DATA_SOURCE(test::testDataSource(driver));
        QVERIFY(session != nullptr);
        const Search filtered = search(*session, text, MatchMode::AnySubstring, false, true);
        const Search whole = search(*session, text, MatchMode::AnySubstring, false, false);
        QCOMPARE(filtered.report, whole.report);
        const auto note =
            std::find_if(filtered.notes.begin(), filtered.notes.end(),
                         [&table](const RunCoverage::Entry& entry) { return entry.name == table; });
        QVERIFY(note != filtered.notes.end());
        if (why.isEmpty()) {
            QCOMPARE(note->reason, RunCoverage::Reason::ServerFiltered);
            QVERIFY(filtered.rowsRead < whole.rowsRead);
        } else {
            QCOMPARE(note->reason, RunCoverage::Reason::EveryRowRead);
            QVERIFY2(note->detail.startsWith(why, Qt::CaseInsensitive), qPrintable(note->detail));
        }
    }

    void probedTablesKeepTheScanOrder_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("table");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("why"); // empty: filtered by the server
        QTest::newRow("more matches than one probe takes, all rows pass")
            << "needle"
            << "filter_many" << 10000 << "most of its rows pass the filter";
        QTest::newRow("more matches than one probe takes, half the rows pass")
            << "needle 1|needle 2|needle 3|needle 4|needle 5"
            << "filter_many" << 5556 << "";
        QTest::newRow("rows moved by an update") << "moved"
                                                 << "filter_many" << 10 << "";
        QTest::newRow("a table with an inheritor") << "needle"
                                                   << "filter_parent" << 6 << "";
    }

    // On PostgreSQL a filtered table is first read from a plain query of a bounded number of rows,
    // in the table's order; the report is still the scan's. Where most rows pass the filter, every
    // row is read.
    void probedTablesKeepTheScanOrder()
    {
        QFETCH(QString, text);
        QFETCH(QString, table);
        QFETCH(int, rows);
        QFETCH(QString, why);
        CDbSession* session = sessionFor("postgres");
        if (session == nullptr)
            VELKARO_REQUIRE_DATA_SOURCE(test::testDataSource("postgres"));
        QVERIFY(session != nullptr);
        const Search filtered = search(*session, text, MatchMode::AnySubstring, false, true, {table});
        const Search whole = search(*session, text, MatchMode::AnySubstring, false, false, {table});
        QCOMPARE(filtered.report, whole.report);
        QCOMPARE(filtered.report.count("needle"), rows);
        QCOMPARE(filtered.rowsRead, why.isEmpty() ? qint64(rows) : whole.rowsRead);
        QCOMPARE(filtered.notes.size(), size_t(1));
        QCOMPARE(filtered.notes.front().reason,
                 why.isEmpty() ? RunCoverage::Reason::ServerFiltered : RunCoverage::Reason::EveryRowRead);
        QCOMPARE(filtered.notes.front().detail, why);
    }

private:
    static bool execute(CDbSession& session, const QString& sql)
    {
        SQLHSTMT statement = SQL_NULL_HSTMT;
        const QString error = session.ExecuteQuery(statement, sql);
        session.CloseQuery(statement);
        if (!error.isEmpty())
            qWarning() << sql << error;
        return error.isEmpty();
    }

    // The tables live where no other test lists the catalog: a file of their own for SQLite, the
    // scratch database on the servers (made here on MariaDB).
    QString scratchConnectString(const test::TestDataSource& source)
    {
        if (source.key == "sqlite") {
            const QString path = m_sqliteDir.filePath("filter.sqlite");
            return test::buildSqliteFile(path, QByteArray()) ? test::sqliteFileConnectString(path)
                                                             : QString();
        }
        // The probe asks only for tables big enough for a parallel scan, which none of these is.
        if (source.key == "postgres")
            return source.connectString +
                   ";Database=scratch;ConnSettings=SET min_parallel_table_scan_size TO 0";
        CDbSession shop(SessionVariant::Search);
        if (!shop.ConnectByString(source.connectString, m_prompt) ||
            !execute(shop, "DROP DATABASE IF EXISTS " + QString(kMariaDbScratch)) ||
            !execute(shop, "CREATE DATABASE " + QString(kMariaDbScratch) + " CHARACTER SET utf8mb4"))
            return QString();
        return source.connectString + ";DATABASE=" + kMariaDbScratch;
    }

    // Null when the data source is not running.
    CDbSession* sessionFor(const QString& key)
    {
        const auto found = m_sessions.find(key);
        return found == m_sessions.end() ? nullptr : found->second.get();
    }

    Search search(CDbSession& session, const QString& text, MatchMode mode, bool matchCase, bool serverFilter,
                  const QStringList& tables = kTables)
    {
        SearchParameters parameters;
        parameters.AcceptSearchText(text);
        parameters.searchObjectNames = parameters.searchColumnNames = parameters.searchDataTypes = false;
        parameters.searchIndexes = false;
        parameters.matchMode = mode;
        parameters.matchCase = matchCase;
        parameters.serverFilter = serverFilter;
        ReportDocument document(m_prompt);
        DirectReportWriter writer(document);
        writer.Reset(parameters);
        test::RecordingSearchHost host;
        RunFlags flags;
        flags.begin();
        RunTitle title(host);
        RunCoverage coverage;
        RunContext run(session, parameters, writer, host, flags, title, coverage);
        ObjectNameSearch(run).Run(tables, false);
        ColumnSearch(run).SearchColumnsAndTypes();
        const IdentifierQuoting quoting = IdentifierQuoting::FromConnection(session.Hdbc());
        std::optional<ServerFilter> filter;
        if (serverFilter)
            filter.emplace(ColumnTextRule::DialectFor(SystemSchemas::DbmsName(session.Hdbc())), quoting,
                           parameters.searchTerms, matchCase);
        DataSearch(run, DataSelectBuilder(quoting, parameters.specialNameMode), std::move(filter))
            .RunDataSearch();
        return {document.Document().toPlainText(), coverage.RowsRead(), coverage.Entries()};
    }

    test::RecordingPrompt m_prompt;
    QTemporaryDir m_sqliteDir;
    std::map<QString, std::unique_ptr<CDbSession>> m_sessions;
};

QTEST_GUILESS_MAIN(ServerFilterTest)
#include "ServerFilterTest.moc"

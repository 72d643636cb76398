// Reading in key-ordered chunks, for the MariaDB driver that holds whole results: the key chosen,
// the chunks that together give every row once, and a whole run whose row text is the searched
// columns alone.

#include "RecordingPrompt.h"
#include "RecordingSearchHost.h"
#include "TestDataSources.h"
#include "catalog/CDbSession.h"
#include "catalog/FetchedRow.h"
#include "search/engine/ColumnSearch.h"
#include "search/engine/DataSearch.h"
#include "search/engine/DirectReportWriter.h"
#include "search/engine/KeyChunkReader.h"
#include "search/engine/ObjectNameSearch.h"
#include "search/engine/ReportDocument.h"
#include "search/engine/RunContext.h"
#include "search/engine/RunCoverage.h"
#include "search/engine/RunFlags.h"
#include "search/engine/RunTitle.h"

#include <QTest>

using namespace velkaro;

namespace {

bool execute(CDbSession& session, const QString& sql)
{
    SQLHSTMT statement = SQL_NULL_HSTMT;
    const QString error = session.ExecuteQuery(statement, sql);
    session.CloseQuery(statement);
    if (!error.isEmpty())
        qWarning() << sql << error;
    return error.isEmpty();
}

// Tables of their own in the test database, made afresh for each test run.
const QStringList kTables{"chunk_composite", "chunk_nullable_unique", "chunk_strict_unique",
                          "chunk_float_key", "chunk_float_only",      "chunk_no_key",
                          "chunk_many"};

bool createTables(CDbSession& session)
{
    for (const QString& table : kTables) {
        if (!execute(session, "DROP TABLE IF EXISTS " + table))
            return false;
    }
    return execute(session, "CREATE TABLE chunk_composite (region VARCHAR(20) NOT NULL, seq INT NOT NULL, "
                            "note VARCHAR(40), amount DOUBLE, PRIMARY KEY (region, seq))") &&
           execute(session, "INSERT INTO chunk_composite VALUES ('east', 2, 'e2', 1.5), ('east', 10, 'e10', "
                            "NULL), ('O''Brien', 1, 'quote', 2), ('back\\\\slash', 1, 'slash', 3), "
                            "('east', 1, 'e1', 4), ('west', 1, NULL, 5), ('west', 3, 'w3', 6)") &&
           execute(session,
                   "CREATE TABLE chunk_nullable_unique (code VARCHAR(10) NULL UNIQUE, note VARCHAR(10))") &&
           execute(session, "CREATE TABLE chunk_strict_unique (code VARCHAR(10) NOT NULL, wide INT NOT NULL, "
                            "note VARCHAR(10), UNIQUE (code, wide), UNIQUE (wide))") &&
           execute(session,
                   "CREATE TABLE chunk_float_key (k DOUBLE NOT NULL PRIMARY KEY, code INT NOT NULL, alt "
                   "VARCHAR(10) NULL, note VARCHAR(10), UNIQUE (alt), UNIQUE (code))") &&
           execute(session,
                   "CREATE TABLE chunk_float_only (k DOUBLE NOT NULL PRIMARY KEY, note VARCHAR(10))") &&
           execute(session, "CREATE TABLE chunk_no_key (note VARCHAR(30))") &&
           execute(session, "INSERT INTO chunk_no_key VALUES ('needle-4711 without a key')") &&
           // Wide enough a row for chunks of a few thousand rows; the needles stand in four of them.
           execute(session, "CREATE TABLE chunk_many (id INT NOT NULL PRIMARY KEY, note VARCHAR(2000))") &&
           execute(session, "INSERT INTO chunk_many SELECT seq, CASE WHEN seq IN (3, 10001, 20001, 25000) "
                            "THEN CONCAT('needle-4711 at ', seq) ELSE CONCAT('row ', seq) END "
                            "FROM seq_1_to_25000");
}

} // namespace

class KeyChunkReadingTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        const test::TestDataSource& source = test::testDataSource("mariadb");
        VELKARO_REQUIRE_DATA_SOURCE(source);
        QVERIFY(m_session.ConnectByString(source.connectString, m_prompt));
        if (m_session.GetRowReading() != RowReading::KeyChunks)
            QSKIP("the MariaDB driver streams rows: nothing is read in chunks");
        QVERIFY(createTables(m_session));
    }

    void cleanupTestCase()
    {
        if (!m_session.ConnectFailed()) {
            for (const QString& table : kTables)
                execute(m_session, "DROP TABLE IF EXISTS " + table);
        }
    }

    void keyChosen_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("key");
        QTest::newRow("primary key of two columns, in key order")
            << "chunk_composite" << QStringList{"region", "seq"};
        QTest::newRow("unique key with a nullable column tells nothing apart")
            << "chunk_nullable_unique" << QStringList{};
        // The server makes the first unique NOT NULL key the primary key of a table without one.
        QTest::newRow("first unique NOT NULL key serves as primary key")
            << "chunk_strict_unique" << QStringList{"code", "wide"};
        QTest::newRow("floating-point primary key passed over for a unique NOT NULL key")
            << "chunk_float_key" << QStringList{"code"};
        QTest::newRow("floating-point key alone does not survive as text")
            << "chunk_float_only" << QStringList{};
        QTest::newRow("no key at all") << "chunk_no_key" << QStringList{};
    }

    void keyChosen()
    {
        QFETCH(QString, table);
        QFETCH(QStringList, key);
        const std::optional<TableKey> found = TableKey::Find(catalog(), object(table), {QString()});
        QStringList names;
        if (found) {
            for (const TableKey::Column& column : found->columns)
                names.append(column.name);
        }
        QCOMPARE(names, key);
        QCOMPARE(found.has_value(), !key.isEmpty());
    }

    // Chunks of three, seven (the last chunk comes back empty) and one over seven rows: every row
    // once, in key order, with quotes and backslashes in the key values bound as they are.
    void chunksGiveEveryRowOnce_data()
    {
        QTest::addColumn<int>("chunkRows");
        QTest::newRow("last chunk short") << 3;
        QTest::newRow("last chunk empty") << 7;
        QTest::newRow("one row per chunk") << 1;
    }

    void chunksGiveEveryRowOnce()
    {
        QFETCH(int, chunkRows);
        const std::optional<TableKey> key = TableKey::Find(catalog(), object("chunk_composite"), {QString()});
        QVERIFY(key);
        KeyChunkReader reader(m_session, quoting(), *key, "note , amount", "chunk_composite", 2, chunkRows);
        QVERIFY2(reader.NextStatement().contains("`region` = ?"), qPrintable(reader.NextStatement()));
        QCOMPARE(reader.Execute(), QString());
        QStringList rows;
        FetchedRow row;
        QString text;
        while (reader.FetchRow(row) == FetchResult::Row) {
            row.TextInto(text);
            rows.append(text);
        }
        QCOMPARE(reader.Error(), QString());
        // Collation order: the backslash sorts first, then east (1, 2, 10), O'Brien, west.
        QStringList expected{"slash \t 3", "e1 \t 4", "e2 \t 1.5", "e10 \t ",
                             "quote \t 2", " \t 5",   "w3 \t 6"};
        QCOMPARE(rows, expected);
    }

    // A whole data phase: needles in four chunks are each reported once, the
    // ignored key column neither shows nor changes the row text, and the table without a key is
    // read whole and said so.
    void dataPhaseReadsByKey()
    {
        SearchParameters parameters;
        parameters.AcceptSearchText("needle-4711");
        parameters.searchObjectNames = parameters.searchColumnNames = parameters.searchDataTypes = false;
        parameters.searchIndexes = false;
        parameters.ignoredColumnPatterns = {"ID"};
        test::RecordingPrompt prompt;
        ReportDocument document(prompt);
        DirectReportWriter writer(document);
        writer.Reset(parameters);
        test::RecordingSearchHost host;
        RunFlags flags;
        flags.begin();
        RunTitle title(host);
        RunCoverage coverage;
        RunContext run(m_session, parameters, writer, host, flags, title, coverage);
        ObjectNameSearch(run).Run({"chunk_many", "chunk_no_key"}, false);
        ColumnSearch(run).SearchColumnsAndTypes();
        DataSearch(run, DataSelectBuilder(quoting(), parameters.specialNameMode)).RunDataSearch();
        for (const RunObject& object : run.objects) {
            if (object.reportName == "chunk_many")
                QVERIFY(KeyChunkReader::RowsPerChunk(object.record->searchColumns) < 10000);
        }

        const QString report = document.Document().toPlainText();
        QCOMPARE(coverage.Entries().size(), size_t(1));
        QCOMPARE(coverage.Entries().front().name, QString("chunk_no_key"));
        QCOMPARE(coverage.Entries().front().reason, RunCoverage::Reason::ReadWhole);
        for (const char* line : {"needle-4711 at 3", "needle-4711 at 10001", "needle-4711 at 20001",
                                 "needle-4711 at 25000", "needle-4711 without a key"})
            QCOMPARE(report.count(QString::fromLatin1(line)), 1);
        // The row shows the note alone: the key read for paging is not part of it.
        const QStringList lines = report.split('\n');
        const auto row = std::find_if(lines.begin(), lines.end(),
                                      [](const QString& line) { return line.contains("at 10001"); });
        QVERIFY(row != lines.end());
        QVERIFY2(row->startsWith("needle-4711 at 10001"), qPrintable(*row));
        QCOMPARE(writer.InstanceCount(), 5);
    }

private:
    const CatalogConnection& catalog()
    {
        if (!m_catalog)
            m_catalog = std::make_unique<CatalogConnection>(m_session.Hdbc(), m_session.Uid(),
                                                            CatalogConnection::ErrorReporter());
        return *m_catalog;
    }

    IdentifierQuoting quoting() const { return IdentifierQuoting::FromConnection(m_session.Hdbc()); }

    SearchObjectRecord& object(const QString& name)
    {
        m_object.name = name;
        m_object.qualifier = "shop";
        return m_object;
    }

    test::RecordingPrompt m_prompt;
    CDbSession m_session{SessionVariant::Search};
    std::unique_ptr<CatalogConnection> m_catalog;
    SearchObjectRecord m_object;
};

QTEST_GUILESS_MAIN(KeyChunkReadingTest)
#include "KeyChunkReadingTest.moc"

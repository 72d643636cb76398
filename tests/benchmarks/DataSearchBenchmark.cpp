// Measures what the data search adds to reading the rows: a generated table of 1,000,000 rows x 8
// mixed columns with five planted matches, on SQLite (a temporary file) and on PostgreSQL (a schema
// of its own in the test server, the current schema of the benchmark's connection only, dropped
// afterwards). The engine's data phase, with the real report
// behind it, is timed against a bare loop over the same statement on the same connection: SQLFetch
// and SQLGetData of every column as text into one buffer, nothing kept. A second measure appends
// 100,000 highlighted rows to the report and shows the cost per row stays flat as it grows.
//
// Run: source build/datasources/env.sh && build/tests/benchmarks/DataSearchBenchmark [sqlite|postgres] [rows]

#include "RecordingPrompt.h"
#include "TestDataSources.h"
#include "catalog/CDbSession.h"
#include "catalog/FetchedRow.h"
#include "search/engine/DirectReportWriter.h"
#include "search/engine/ReportDocument.h"
#include "search/engine/SearchHost.h"
#include "search/engine/SearchRun.h"
#include "search/engine/TextMatcher.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <malloc.h>
#include <sql.h>
#include <sqlext.h>

using namespace velkaro;

namespace {

int rowCount = 1000000;            // a second argument makes it smaller, for profiling
constexpr int rounds = 5;          // the best of each: a shared machine only ever adds time
constexpr int matchEvery = 200000; // rows 4711, 204711, ... hold the needle
const char* const benchSchema = "zindrel_bench";
const char* const columnNames = "id , code , name , amount , qty , created , note , ratio";

// The generated columns; the dialect gives the row numbers 1..rowCount as "i" and the date type.
QString rowSelect(const QString& dateExpression)
{
    return QStringLiteral(
               "SELECT i, 'C-' || i, 'customer name ' || i, round(i * 0.37, 2), i % 97, %1, "
               "CASE WHEN i % %2 = 4711 THEN 'asked about needle-4711' ELSE 'note text for row ' || i "
               "END, i / 7.0")
        .arg(dateExpression)
        .arg(matchEvery);
}

QString tableDefinition(const QString& table, const char* floatType)
{
    return QStringLiteral("CREATE TABLE %1 (id INTEGER NOT NULL, code VARCHAR(16), name VARCHAR(60), amount "
                          "DECIMAL(12,2), qty INTEGER, created DATE, note VARCHAR(200), ratio %2)")
        .arg(table, QLatin1String(floatType));
}

bool execute(CDbSession& session, const QString& sql, bool mayFail = false)
{
    SQLHSTMT statement = SQL_NULL_HSTMT;
    const QString error = session.ExecuteQuery(statement, sql);
    session.CloseQuery(statement);
    if (!error.isEmpty() && !mayFail)
        std::fprintf(stderr, "failed: %s\n  %s\n", qPrintable(sql.left(200)), qPrintable(error));
    return error.isEmpty() || mayFail;
}

bool buildSqlite(CDbSession& session)
{
    return execute(session, tableDefinition(QStringLiteral("bench_rows"), "REAL")) &&
           execute(session,
                   QStringLiteral("INSERT INTO bench_rows WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL "
                                  "SELECT i + 1 FROM n WHERE i < %1) %2 FROM n")
                       .arg(rowCount)
                       .arg(rowSelect(QStringLiteral("date('2020-01-01', '+' || (i % 2000) || ' days')"))));
}

// A notice ("does not exist, skipping") is not a failure here.
void dropPostgres(CDbSession& session)
{
    execute(session, QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(QLatin1String(benchSchema)),
            true);
}

bool buildPostgres(CDbSession& session)
{
    dropPostgres(session);
    const QString table = QLatin1String(benchSchema) + QStringLiteral(".bench_rows");
    return execute(session, QStringLiteral("CREATE SCHEMA %1").arg(QLatin1String(benchSchema))) &&
           execute(session, tableDefinition(table, "DOUBLE PRECISION")) &&
           execute(session, QStringLiteral("INSERT INTO %1 %2 FROM generate_series(1, %3) AS i")
                                .arg(table, rowSelect(QStringLiteral("DATE '2020-01-01' + (i % 2000)")))
                                .arg(rowCount));
}

// The floor: every value of every row read as text into one buffer, nothing kept.
qint64 bareLoop(CDbSession& session, const QString& table)
{
    SQLHSTMT statement = SQL_NULL_HSTMT;
    SQLAllocStmt(session.hdbc(), &statement);
    QByteArray sql = QStringLiteral("select %1 from %2").arg(QLatin1String(columnNames), table).toUtf8();
    SQLExecDirect(statement, reinterpret_cast<SQLCHAR*>(sql.data()), SQL_NTS);
    SQLSMALLINT columns = 0;
    SQLNumResultCols(statement, &columns);
    static char buffer[10000];
    qint64 rows = 0;
    while (SQLFetch(statement) == SQL_SUCCESS) {
        for (SQLUSMALLINT column = 1; column <= columns; ++column) {
            SQLLEN indicator = 0;
            SQLGetData(statement, column, SQL_C_CHAR, buffer, sizeof buffer, &indicator);
        }
        ++rows;
    }
    SQLFreeStmt(statement, SQL_DROP);
    return rows;
}

// How the data phase's cost divides: the rows as the driver's bytes (FetchRow), those bytes also
// matched as a plain ASCII row is, and, for rows beyond ASCII, the rows decoded (FetchRowText) and
// matched as text.
enum class RowPath
{
    Bytes,
    BytesMatched,
    Text,
    TextMatched
};

qint64 rowLoop(CDbSession& session, const QString& table, const TextMatcher& matcher, RowPath path)
{
    SQLHSTMT statement = SQL_NULL_HSTMT;
    if (!session
             .ExecuteQuery(statement,
                           QStringLiteral("select %1 from %2").arg(QLatin1String(columnNames), table))
             .isEmpty())
        return 0;
    FetchedRow row;
    QString rowText;
    qint64 rows = 0;
    const bool asText = path == RowPath::Text || path == RowPath::TextMatched;
    while ((asText ? session.FetchRowText(statement, rowText) : session.FetchRow(statement, row)) ==
           FetchResult::Row) {
        if (path == RowPath::BytesMatched)
            matcher.MatchAsciiBytes(row.Bytes());
        else if (path == RowPath::TextMatched)
            matcher.MatchText(rowText);
        ++rows;
    }
    session.CloseQuery(statement);
    return rows;
}

// Wall-clock time, and the CPU time of the calling thread: on a busy machine the second is the
// steadier measure of what the client side costs.
struct Cost
{
    double wall = 1e30;
    double cpu = 1e30;

    void keepBest(const Cost& other)
    {
        wall = std::min(wall, other.wall);
        cpu = std::min(cpu, other.cpu);
    }
};

class Stopwatch final
{
public:
    Stopwatch() { start(); }
    void start()
    {
        m_wall.start();
        m_cpu = threadCpuSeconds();
    }
    Cost elapsed() const { return {m_wall.nsecsElapsed() / 1e9, threadCpuSeconds() - m_cpu}; }

private:
    static double threadCpuSeconds()
    {
        timespec now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return double(now.tv_sec) + now.tv_nsec / 1e9;
    }

    QElapsedTimer m_wall;
    double m_cpu = 0;
};

// Times the data phase alone: from its progress range to its end.
class TimingHost final : public SearchHost
{
public:
    void setTitle(const QString&) override {}
    void setProgressRange(SearchProgressBar bar, int) override
    {
        if (bar == SearchProgressBar::Data)
            m_stopwatch.start();
    }
    void stepProgress(SearchProgressBar) override {}
    void finishProgress(SearchProgressBar bar) override
    {
        if (bar == SearchProgressBar::Data)
            m_cost = m_stopwatch.elapsed();
    }
    void setObjectList(const QStringList&) override {}
    void selectObject(const QString&) override {}
    void showMessage(const QString&) override {}
    void commandStateChanged() override {}
    void runEnded() override {}

    Cost cost() const { return m_cost; }

private:
    Stopwatch m_stopwatch;
    Cost m_cost;
};

// Peak resident memory since the last reset, in MB.
void resetPeakMemory()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

double peakMemoryMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    }
    return 0;
}

// The loop before freed a whole result in millions of small pieces; the first request for a large
// block gathers them up, which costs a large share of a loop. A loop that asks for one (the row
// buffer of the data search does, once) would pay for the garbage of the loop before, and the bare
// loop, which asks for none, never would. So every loop starts with that done.
void settleHeap()
{
    void* large = std::malloc(64 * 1024); // above the small sizes, below the mapped ones
    std::free(large);
}

Cost timed(const std::function<void()>& run)
{
    settleHeap();
    const Stopwatch stopwatch;
    run();
    return stopwatch.elapsed();
}

QByteArray against(const char* what, const Cost& cost, const Cost& bare)
{
    return QStringLiteral("%1 %2 s wall (ratio %3), %4 s cpu (ratio %5)")
        .arg(QLatin1String(what))
        .arg(cost.wall, 0, 'f', 2)
        .arg(bare.wall / cost.wall, 0, 'f', 3)
        .arg(cost.cpu, 0, 'f', 2)
        .arg(bare.cpu / cost.cpu, 0, 'f', 3)
        .toUtf8();
}

void measure(const char* label, CDbSession& session, const QString& table)
{
    SearchParameters parameters;
    parameters.searchObjectNames = parameters.searchColumnNames = parameters.searchDataTypes = false;
    parameters.searchIndexes = false;
    parameters.AcceptSearchText(QStringLiteral("needle-4711"));
    test::RecordingPrompt prompt;
    ReportDocument document(prompt);
    DirectReportWriter writer(document);
    TimingHost host;

    qint64 rows = bareLoop(session, table); // warms the server's and the driver's caches
    // Rounds alternate so that a busy machine slows all alike; each keeps its best.
    const TextMatcher matcher(parameters);
    const RowPath paths[] = {RowPath::Bytes, RowPath::BytesMatched, RowPath::Text, RowPath::TextMatched};
    Cost bare, engine, pathCosts[4];
    double peak = 0;
    int found = 0;
    for (int round = 0; round < rounds; ++round) {
        bare.keepBest(timed([&] { rows = bareLoop(session, table); }));
        for (int p = 0; p < 4; ++p)
            pathCosts[p].keepBest(timed([&] { rowLoop(session, table, matcher, paths[p]); }));
        resetPeakMemory();
        settleHeap();
        SearchRun run(session, parameters, writer, host);
        run.setObjectFilter({table});
        run.RunSearch();
        peak = std::max(peak, peakMemoryMb());
        engine.keepBest(host.cost());
        found = run.instancesFound();
    }
    std::printf("%-10s %lld rows, %d instances (goal: ratio >= 0.95)\n", label, rows, found);
    std::printf("  bare loop %.2f s wall, %.2f s cpu\n", bare.wall, bare.cpu);
    std::printf("  %s\n", against("data search", engine, bare).constData());
    std::printf("  peak memory during the data search %.0f MB, report %lld characters\n", peak,
                static_cast<long long>(document.document().characterCount()));
    std::printf(
        "  where it goes:\n  %s\n  %s\n  rows beyond plain ASCII take the decoded path:\n  %s\n  %s\n",
        against("rows as bytes (FetchRow)          ", pathCosts[0], bare).constData(),
        against("rows as bytes and MatchAsciiBytes ", pathCosts[1], bare).constData(),
        against("rows as text (FetchRowText)       ", pathCosts[2], bare).constData(),
        against("rows as text and MatchText        ", pathCosts[3], bare).constData());
    std::fflush(stdout);
}

// Appending to the report must cost the same per row at 100,000 rows as at the start.
void measureReportGrowth()
{
    SearchParameters parameters;
    parameters.AcceptSearchText(QStringLiteral("needle"));
    test::RecordingPrompt prompt;
    ReportDocument document(prompt);
    DirectReportWriter writer(document);
    writer.Reset(parameters);
    const QString row =
        QStringLiteral("%1   customer name %1          asked about the needle twice   needle   0.37 \r\n");
    const Stopwatch stopwatch;
    Cost previous{0, 0};
    int previousRows = 0;
    std::printf("report growth, highlighted rows appended (cpu time per row since the last mark):\n");
    for (int checkpoint : {10000, 50000, 100000}) {
        for (int i = previousRows; i < checkpoint; ++i)
            writer.AppendHighlighted(row.arg(i), ReportColor::Text);
        const Cost now = stopwatch.elapsed();
        std::printf("  %6d rows  %6.2f s wall  %6.2f s cpu  %5.1f us/row\n", checkpoint, now.wall, now.cpu,
                    (now.cpu - previous.cpu) * 1e6 / (checkpoint - previousRows));
        previous = now;
        previousRows = checkpoint;
    }
    std::printf("  %d instances\n", writer.instanceCount());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    // The drivers hold the whole result, hundreds of MB, from the execute to the statement's drop.
    // Freed memory stays with the process, so that each loop reuses the pages of the one before
    // instead of some loops paying the page faults of a fresh heap and others not.
    mallopt(M_TRIM_THRESHOLD, INT_MAX);
    // The report is a rich-text document, which needs fonts; no window is ever shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString only = argc > 1 ? QString::fromUtf8(argv[1]) : QString();
    if (argc > 2)
        rowCount = std::max(1, std::atoi(argv[2]));
    QTemporaryDir dir;
    if (!dir.isValid() || qEnvironmentVariableIsEmpty("ODBCSYSINI")) {
        std::fprintf(
            stderr,
            "needs a temporary folder and the test ODBC configuration (source build/datasources/env.sh)\n");
        return 2;
    }
    test::RecordingPrompt prompt;
    int status = 0;
    if (only.isEmpty() || only == "sqlite") {
        CDbSession session(SessionVariant::Search);
        const bool ready =
            session.ConnectByString(
                QStringLiteral("DRIVER=SQLite3;Database=%1").arg(dir.filePath("bench.sqlite")), prompt) &&
            buildSqlite(session);
        if (ready)
            measure("SQLite", session, QStringLiteral("bench_rows"));
        else
            status = 1;
    }
    if (only.isEmpty() || only == "postgres") {
        CDbSession session(SessionVariant::Search);
        // The search reads the objects of the connection's current schema: make that the scratch
        // schema for this connection alone, so no other client sees the table in its lists.
        const bool connected = session.ConnectByString(
            test::testDataSource("postgres").connectString +
                QStringLiteral(";ConnSettings=SET search_path TO %1").arg(QLatin1String(benchSchema)),
            prompt);
        if (connected && buildPostgres(session))
            measure("PostgreSQL", session, QLatin1String(benchSchema) + QStringLiteral(".bench_rows"));
        else
            status = 1;
        if (connected)
            dropPostgres(session);
    }
    if (only.isEmpty() || only == "report")
        measureReportGrowth();
    return status;
}

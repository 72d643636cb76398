// Measures what the data search adds to reading the rows, and what it holds in memory: a generated
// table of 1,000,000 rows x 8 mixed columns (primary key "id") with five planted matches, on SQLite (a
// temporary file), on PostgreSQL (a schema of its own in the test server, the current schema of the
// benchmark's connection only, dropped afterwards) and on MariaDB (a table in the test database,
// dropped afterwards). The engine's data phase, with the real report behind it, is timed against a
// bare loop over the same statement: SQLFetch and SQLGetData of every column as text into one buffer,
// nothing kept; once on the search session (the settings that make the driver stream) and once on a
// connection with the driver's default settings. The data phase's peak resident memory is taken
// above the memory the process held when the phase began. A second measure appends 100,000
// highlighted rows to the report and shows the cost per row stays flat as it grows.
//
// Run: source build/datasources/env.sh && build/tests/benchmarks/DataSearchBenchmark
//          [sqlite|postgres|mariadb|report] [rows]
// "filter-sqlite", "filter-postgres" or "filter-mariadb" instead measures the server-side filter: a rare
// and a common term, each with the filter against the full scan of the same program, and the full
// scan against the bare per-cell loop and against the Unix user's own dump piped into grep.
// DATASEARCH_BENCH_BIG=1 also measures the memory of a 10,000,000-row table on SQLite and PostgreSQL,
// each in a process of its own ("big-sqlite", "big-postgres").

#include "RecordingPrompt.h"
#include "TestDataSources.h"
#include "catalog/CDbSession.h"
#include "catalog/FetchedRow.h"
#include "common/VectorState.h"
#include "search/engine/DirectReportWriter.h"
#include "search/engine/ReportDocument.h"
#include "search/engine/RunCoverage.h"
#include "search/engine/SearchHost.h"
#include "search/engine/SearchRun.h"
#include "search/engine/TextMatcher.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
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
#include <utility>

using namespace velkaro;

namespace {

int rowCount = 1000000; // a second argument makes it smaller, for profiling
constexpr int bigRowCount = 10000000;
constexpr int rounds = 5;          // the best of each: a shared machine only ever adds time
constexpr int matchEvery = 200000; // rows 4711, 204711, ... hold the needle
const char* const benchSchema = "zindrel_bench";
const char* const mariaTable = "zindrel_bench_rows";
const char* const columnNames = "id , code , name , amount , qty , created , note , ratio";

// The generated columns; the dialect gives the row numbers 1..rowCount as "i", the date, and how
// it joins a text to a number.
QString rowSelect(const QString& dateExpression, const std::function<QString(const char*)>& textWithI)
{
    return QStringLiteral("SELECT i, %1, %2, round(i * 0.37, 2), i %% 97, %3, "
                          "CASE WHEN i %% %4 = 4711 THEN 'asked about needle-4711' ELSE %5 END, i / 7.0")
        .replace(QStringLiteral("%%"), QStringLiteral("%"))
        .arg(textWithI("C-"), textWithI("customer name "), dateExpression)
        .arg(matchEvery)
        .arg(textWithI("note text for row "));
}

QString pipeJoined(const char* text)
{
    return QStringLiteral("'%1' || i").arg(QLatin1String(text));
}

QString tableDefinition(const QString& table, const char* floatType)
{
    return QStringLiteral("CREATE TABLE %1 (id INTEGER NOT NULL PRIMARY KEY, code VARCHAR(16), name "
                          "VARCHAR(60), amount DECIMAL(12,2), qty INTEGER, created DATE, note VARCHAR(200), "
                          "ratio %2)")
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
                       .arg(rowSelect(QStringLiteral("date('2020-01-01', '+' || (i % 2000) || ' days')"),
                                      pipeJoined)));
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
           execute(session,
                   QStringLiteral("INSERT INTO %1 %2 FROM generate_series(1, %3) AS i")
                       .arg(table, rowSelect(QStringLiteral("DATE '2020-01-01' + (i % 2000)"), pipeJoined))
                       .arg(rowCount)) &&
           // As autovacuum would soon: the filter's probe takes the table's size from the analysis.
           execute(session, QStringLiteral("ANALYZE %1").arg(table));
}

void dropMariaDb(CDbSession& session)
{
    execute(session, QStringLiteral("DROP TABLE IF EXISTS %1").arg(QLatin1String(mariaTable)), true);
}

// The rows come from the server's sequence engine.
bool buildMariaDb(CDbSession& session)
{
    dropMariaDb(session);
    const auto concatenated = [](const char* text) {
        return QStringLiteral("CONCAT('%1', i)").arg(QLatin1String(text));
    };
    return execute(session, tableDefinition(QLatin1String(mariaTable), "DOUBLE")) &&
           execute(session, QStringLiteral("INSERT INTO %1 %2 FROM (SELECT seq AS i FROM seq_1_to_%3) AS n")
                                .arg(QLatin1String(mariaTable),
                                     rowSelect(QStringLiteral("DATE '2020-01-01' + INTERVAL (i % 2000) DAY"),
                                               concatenated))
                                .arg(rowCount));
}

// The floor: every value of every row read as text into one buffer, nothing kept.
qint64 bareLoop(CDbSession& session, const QString& table)
{
    SQLHSTMT statement = SQL_NULL_HSTMT;
    SQLAllocStmt(session.Hdbc(), &statement);
    QByteArray sql = QStringLiteral("select %1 from %2").arg(QLatin1String(columnNames), table).toUtf8();
    // As a plain program's loop runs: without the upper vector state Qt's code left behind.
    ClearUpperVectorState();
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

// The peak resident memory (VmHWM) counts from the last reset; clear_refs 5 sets it to the
// current resident size.
void resetPeakMemory()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

// A line of /proc/self/status ("VmRSS:", "VmHWM:"), in MB.
double memoryMb(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qsizetype(qstrlen(field))).trimmed().split(' ').value(0).toDouble() / 1024;
    }
    return 0;
}

// Times the data phase alone, from its progress range to its end, and takes its peak resident
// memory above what the process held when it began.
class TimingHost final : public SearchHost
{
public:
    void SetTitle(const QString&) override {}
    void SetProgressRange(SearchProgressBar bar, int) override
    {
        if (bar != SearchProgressBar::Data)
            return;
        resetPeakMemory();
        m_before = memoryMb("VmRSS:");
        m_stopwatch.start();
    }
    void StepProgress(SearchProgressBar) override {}
    void FinishProgress(SearchProgressBar bar) override
    {
        if (bar != SearchProgressBar::Data)
            return;
        m_cost = m_stopwatch.elapsed();
        m_peak = memoryMb("VmHWM:");
    }
    void SetObjectList(const QStringList&) override {}
    void SelectObject(const QString&) override {}
    void ShowMessage(const QString&) override {}
    void CommandStateChanged() override {}
    void RunEnded() override {}

    Cost cost() const { return m_cost; }
    double memoryBefore() const { return m_before; }
    double peakAbove() const { return m_peak - m_before; }

private:
    Stopwatch m_stopwatch;
    Cost m_cost;
    double m_before = 0;
    double m_peak = 0;
};

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

// The full scan unless asked otherwise: the measures against the bare loop read every row.
SearchParameters dataOnly(const QString& text = QStringLiteral("needle-4711"), bool serverFilter = false)
{
    SearchParameters parameters;
    parameters.searchObjectNames = parameters.searchColumnNames = parameters.searchDataTypes = false;
    parameters.searchIndexes = false;
    parameters.serverFilter = serverFilter;
    parameters.AcceptSearchText(text);
    return parameters;
}

// One run of the engine over the table, with its report in a document of its own.
struct DataPhase
{
    Cost cost;
    double memoryBefore = 0;
    double peakAbove = 0;
    int found = 0;
    qint64 reportCharacters = 0;
    qint64 rowsRead = 0;
    QString findings; // the report before the coverage block and the elapsed time

    static DataPhase Run(CDbSession& session, const QString& table,
                         const SearchParameters& parameters = dataOnly())
    {
        test::RecordingPrompt prompt;
        ReportDocument document(prompt);
        DirectReportWriter writer(document);
        TimingHost host;
        settleHeap();
        SearchRun run(session, parameters, writer, host);
        run.SetObjectFilter({table});
        run.RunSearch();
        const QString text = document.Document().toPlainText();
        return {host.cost(),
                host.memoryBefore(),
                host.peakAbove(),
                run.InstancesFound(),
                document.Document().characterCount(),
                run.Coverage().RowsRead(),
                text.left(text.indexOf(QStringLiteral("OBJECTS READ:")))};
    }
};

// The bare loop's peak memory above what the process held before it.
double bareLoopPeak(CDbSession& session, const QString& table)
{
    resetPeakMemory();
    const double before = memoryMb("VmRSS:");
    bareLoop(session, table);
    return memoryMb("VmHWM:") - before;
}

// Memory first, while the heap has held nothing big: a later phase would reuse the pages an earlier
// loop left behind and show less than it needs.
void measure(const char* label, CDbSession& session, CDbSession& defaults, const QString& table)
{
    const DataPhase first = DataPhase::Run(session, table);
    const double defaultsPeak = bareLoopPeak(defaults, table);

    const TextMatcher matcher(dataOnly());
    const RowPath paths[] = {RowPath::Bytes, RowPath::BytesMatched, RowPath::Text, RowPath::TextMatched};
    Cost bare, bareDefaults, engine, pathCosts[4];
    qint64 rows = 0;
    // Rounds alternate so that a busy machine slows all alike; each keeps its best.
    for (int round = 0; round < rounds; ++round) {
        bare.keepBest(timed([&] { rows = bareLoop(session, table); }));
        bareDefaults.keepBest(timed([&] { bareLoop(defaults, table); }));
        for (int p = 0; p < 4; ++p)
            pathCosts[p].keepBest(timed([&] { rowLoop(session, table, matcher, paths[p]); }));
        engine.keepBest(DataPhase::Run(session, table).cost);
    }
    std::printf("%-10s %lld rows, %d instances, report %lld characters\n", label, rows, first.found,
                static_cast<long long>(first.reportCharacters));
    std::printf("  data phase peak memory %+.1f MB over the %.1f MB held at its start (goal: within 64 MB);\n"
                "  a bare loop with the driver's default settings: %+.1f MB\n",
                first.peakAbove, first.memoryBefore, defaultsPeak);
    std::printf("  bare loop, search settings   %.2f s wall, %.2f s cpu\n", bare.wall, bare.cpu);
    std::printf("  bare loop, driver defaults   %.2f s wall, %.2f s cpu\n", bareDefaults.wall,
                bareDefaults.cpu);
    std::printf("  (goal: ratio >= 0.95 against both)\n  %s\n  %s\n",
                against("data search vs search settings", engine, bare).constData(),
                against("data search vs driver defaults", engine, bareDefaults).constData());
    std::printf(
        "  where it goes:\n  %s\n  %s\n  rows beyond plain ASCII take the decoded path:\n  %s\n  %s\n",
        against("rows as bytes (FetchRow)          ", pathCosts[0], bare).constData(),
        against("rows as bytes and MatchAsciiBytes ", pathCosts[1], bare).constData(),
        against("rows as text (FetchRowText)       ", pathCosts[2], bare).constData(),
        against("rows as text and MatchText        ", pathCosts[3], bare).constData());
    std::fflush(stdout);
}

void measureMemoryOnly(const char* label, CDbSession& session, const QString& table)
{
    const DataPhase phase = DataPhase::Run(session, table);
    std::printf("%-10s %d rows: data phase peak memory %+.1f MB over the %.1f MB held at its start, "
                "%.1f s, %d instances\n",
                label, rowCount, phase.peakAbove, phase.memoryBefore, phase.cost.wall, phase.found);
    std::fflush(stdout);
}

// Above 1,000,000 rows a measure runs fewer rounds: one scan then takes tens of seconds.
int roundsAtThisSize(int rounds)
{
    return rowCount > 1000000 ? std::max(1, rounds / 2) : rounds;
}

// The search of one term with the server's filter against the full scan of the same program, best of
// four each (two above 1,000,000 rows), with the reports compared.
void measureFilterTerm(const char* what, CDbSession& session, const QString& table, const QString& term)
{
    DataPhase full, filtered;
    Cost fullCost, filteredCost;
    // Each round swaps the order, so that neither always runs on the heap the other left behind.
    for (int round = 0; round < roundsAtThisSize(4); ++round) {
        for (const bool withFilter : {round % 2 == 0, round % 2 != 0}) {
            DataPhase& phase = withFilter ? filtered : full;
            phase = DataPhase::Run(session, table, dataOnly(term, withFilter));
            (withFilter ? filteredCost : fullCost).keepBest(phase.cost);
        }
    }
    std::printf(
        "  %s '%s': full scan %.2f s (%lld rows read), server filter %.2f s (%lld rows read), "
        "speed-up %.2f, %d instances, reports %s\n",
        what, qPrintable(term), fullCost.wall, static_cast<long long>(full.rowsRead), filteredCost.wall,
        static_cast<long long>(filtered.rowsRead), fullCost.wall / filteredCost.wall, filtered.found,
        full.findings == filtered.findings && full.found == filtered.found ? "byte-identical" : "DIFFER");
    std::fflush(stdout);
}

// The Unix user's own way: the table dumped as text and searched with grep, best of three, in
// seconds of wall-clock time; 0 when the pipeline fails (a tool not installed).
double dumpPipelineSeconds(const QString& pipeline)
{
    double best = 0;
    for (int round = 0; round < 3; ++round) {
        QProcess shell;
        QElapsedTimer clock;
        clock.start();
        shell.start(QStringLiteral("bash"),
                    {QStringLiteral("-o"), QStringLiteral("pipefail"), QStringLiteral("-c"),
                     pipeline + QStringLiteral(" > /dev/null")});
        if (!shell.waitForFinished(600000) || shell.exitCode() != 0)
            return 0;
        const double seconds = clock.nsecsElapsed() / 1e9;
        best = best == 0 ? seconds : std::min(best, seconds);
    }
    return best;
}

// The server filter: a rare term (goal: 10 times faster than the full scan) and a common one
// (goal: no more than 5 % slower), and the full scan against the bare per-cell loop and against
// the dump pipeline (goal: at least as fast).
void measureFilter(const char* label, CDbSession& session, const QString& table, const QString& dump)
{
    Cost bare, full;
    qint64 rows = 0;
    for (int round = 0; round < roundsAtThisSize(3); ++round) {
        bare.keepBest(timed([&] { rows = bareLoop(session, table); }));
        full.keepBest(DataPhase::Run(session, table).cost);
    }
    std::printf("%-10s %lld rows, server filter\n  %s\n", label, static_cast<long long>(rows),
                against("full scan (block fetch) vs bare per-cell loop", full, bare).constData());
    const double dumped = dump.isEmpty() ? 0 : dumpPipelineSeconds(dump);
    if (dumped > 0)
        std::printf("  full scan vs '%s': %.2f s against %.2f s (ratio %.3f)\n", qPrintable(dump), full.wall,
                    dumped, dumped / full.wall);
    else if (!dump.isEmpty())
        std::printf("  '%s' failed: no dump pipeline to compare with\n", qPrintable(dump));
    measureFilterTerm("rare term  ", session, table, QStringLiteral("needle-4711"));
    // Every row is a finding: above 1,000,000 rows the report alone would take many minutes.
    if (rowCount <= 1000000)
        measureFilterTerm("common term", session, table, QStringLiteral("customer"));
}

// One data source of the benchmark: how to make its table and how to clear it away.
struct BenchSource
{
    const char* label;
    QString connectString;
    QString table;
    std::function<bool(CDbSession&)> build;
    std::function<void(CDbSession&)> drop;
    bool big;     // measured at 10,000,000 rows too, when asked
    QString dump; // the shell pipeline that dumps the table and greps it for the rare term
};

// What a run of the benchmark measures of a source.
enum class Measure
{
    Full,   // the data phase against the bare loops, its memory, where the time goes
    Filter, // the server's filter against the full scan and the dump pipeline
    Big     // only the memory of the data phase, on 10,000,000 rows
};

int measureSource(const BenchSource& source, Measure what)
{
    test::RecordingPrompt prompt;
    CDbSession session(SessionVariant::Search);
    if (!session.ConnectByString(source.connectString, prompt))
        return 1;
    if (what == Measure::Big)
        rowCount = bigRowCount;
    // The same data source as the user set it up, without the settings of the search session.
    CDbSession defaults(SessionVariant::Explorer);
    const bool ready = source.build(session) && defaults.ConnectByString(source.connectString, prompt);
    if (ready && what == Measure::Filter)
        measureFilter(source.label, session, source.table, source.dump);
    else if (ready && what == Measure::Big)
        measureMemoryOnly(source.label, session, source.table);
    else if (ready)
        measure(source.label, session, defaults, source.table);
    source.drop(session);
    return ready ? 0 : 1;
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
    std::printf("  %d instances\n", writer.InstanceCount());
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
    const bool big = qEnvironmentVariableIntValue("DATASEARCH_BENCH_BIG") != 0;
    const QList<BenchSource> sources{
        {"SQLite", QStringLiteral("DRIVER=SQLite3;Database=%1").arg(dir.filePath("bench.sqlite")),
         QStringLiteral("bench_rows"),
         [](CDbSession& session) {
             execute(session, QStringLiteral("DROP TABLE IF EXISTS bench_rows"), true);
             return buildSqlite(session);
         },
         [](CDbSession& session) {
             execute(session, QStringLiteral("DROP TABLE IF EXISTS bench_rows"), true);
         },
         true, QStringLiteral("sqlite3 %1 .dump | grep -F needle-4711").arg(dir.filePath("bench.sqlite"))},
        // The search reads the objects of the connection's current schema: make that the scratch
        // schema for this connection alone, so no other client sees the table in its lists.
        {"PostgreSQL",
         test::testDataSource("postgres").connectString +
             QStringLiteral(";ConnSettings=SET search_path TO %1").arg(QLatin1String(benchSchema)),
         QLatin1String(benchSchema) + QStringLiteral(".bench_rows"), buildPostgres, dropPostgres, true,
         QStringLiteral(
             "PGPASSWORD=velkaro-pw pg_dump --data-only -h 127.0.0.1 -p %1 -U velkaro -t %2.bench_rows "
             "shop | grep -F needle-4711")
             .arg(qEnvironmentVariable("VELKARO_PG_PORT", QStringLiteral("55432")),
                  QLatin1String(benchSchema))},
        {"MariaDB", test::testDataSource("mariadb").connectString, QLatin1String(mariaTable), buildMariaDb,
         dropMariaDb, false, QString()}};
    int status = 0;
    // "postgres" names PostgreSQL, as the usage line says.
    const auto names = [](const QString& asked, const char* label) {
        return !asked.isEmpty() && QLatin1String(label).startsWith(asked, Qt::CaseInsensitive);
    };
    Measure what = Measure::Full;
    QString asked = only;
    for (const auto& [prefix, measure] :
         {std::pair{"filter-", Measure::Filter}, std::pair{"big-", Measure::Big}}) {
        if (only.startsWith(QLatin1String(prefix))) {
            what = measure;
            asked = only.mid(qsizetype(qstrlen(prefix)));
        }
    }
    // A process of its own for each measure of memory: memory freed by one loop stays with the
    // process and would hide what the next one's data phase needs.
    const auto inProcessOfItsOwn = [](const QString& measure) {
        return QProcess::execute(QCoreApplication::applicationFilePath(),
                                 {measure, QString::number(rowCount)});
    };
    for (const BenchSource& source : sources) {
        const QString label = QString::fromLatin1(source.label);
        if (names(asked, source.label))
            status |= measureSource(source, what);
        else if (only.isEmpty())
            status |= inProcessOfItsOwn(label);
        if (big && source.big && what == Measure::Full && names(asked, source.label))
            status |= inProcessOfItsOwn(QStringLiteral("big-") + label);
    }
    if (only.isEmpty() || only == "report")
        measureReportGrowth();
    return status;
}

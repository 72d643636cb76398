// How long the interface thread stops answering while Velkaro loads a large catalog: builds a
// 5,000-table SQLite file, starts the real main window offscreen with the file in "Recent DB",
// and ticks a 10 ms timer from the first turn of the event loop after the start-up call (which
// runs before the loop and is timed on its own) to the load's end, recording the longest gap
// between ticks. Then selects the database (a 5,000-row list) and measures that separately. The load time is
// set against the bare catalog calls (SQLTables, then SQLColumns and SQLStatistics per table) made in the
// same process.
//
// Run: source build/datasources/env.sh && build/tests/benchmarks/VelkaroStallBenchmark [tables]

#include "RecordingPrompt.h"
#include "StallCatalog.h"
#include "StallMeter.h"
#include "WindowBenchmark.h"
#include "common/ProfileStore.h"
#include "explorer/shell/CMainFrame.h"
#include "explorer/views/CLeftView.h"
#include "resources/VelkaroResources.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidgetItem>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sql.h>
#include <sqlext.h>

using namespace velkaro;

namespace {

int tableCount = 5000;

// Every value of the catalog calls the explorer makes, read and dropped; the number of tables.
int bareCatalogCalls(const QString& connectString)
{
    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;
    SQLAllocEnv(&env);
    SQLAllocConnect(env, &dbc);
    QByteArray in = connectString.toUtf8();
    if (!SQL_SUCCEEDED(SQLDriverConnect(dbc, nullptr, reinterpret_cast<SQLCHAR*>(in.data()), SQL_NTS, nullptr,
                                        0, nullptr, SQL_DRIVER_NOPROMPT)))
        return -1;
    QList<QByteArray> names;
    char value[1024];
    SQLLEN length = 0;
    auto drain = [&](SQLHSTMT statement) {
        SQLSMALLINT columns = 0;
        SQLNumResultCols(statement, &columns);
        while (SQL_SUCCEEDED(SQLFetch(statement))) {
            for (SQLUSMALLINT c = 1; c <= columns; ++c)
                SQLGetData(statement, c, SQL_C_CHAR, value, sizeof value, &length);
        }
        SQLFreeStmt(statement, SQL_DROP);
    };
    SQLHSTMT statement = SQL_NULL_HSTMT;
    SQLAllocStmt(dbc, &statement);
    SQLTables(statement, nullptr, 0, nullptr, 0, nullptr, 0, nullptr, 0);
    while (SQL_SUCCEEDED(SQLFetch(statement))) {
        SQLGetData(statement, 3, SQL_C_CHAR, value, sizeof value, &length);
        names << QByteArray(value);
    }
    SQLFreeStmt(statement, SQL_DROP);
    for (QByteArray& name : names) {
        SQLAllocStmt(dbc, &statement);
        SQLColumns(statement, nullptr, 0, nullptr, 0, reinterpret_cast<SQLCHAR*>(name.data()), SQL_NTS,
                   nullptr, 0);
        drain(statement);
        SQLAllocStmt(dbc, &statement);
        SQLStatistics(statement, nullptr, 0, nullptr, 0, reinterpret_cast<SQLCHAR*>(name.data()), SQL_NTS,
                      SQL_INDEX_ALL, SQL_ENSURE);
        drain(statement);
    }
    SQLDisconnect(dbc);
    SQLFreeConnect(dbc);
    SQLFreeEnv(env);
    return static_cast<int>(names.size());
}

struct LoadRun
{
    bool loaded = false;
    double startUpSeconds = 0;
    double loadSeconds = 0;
    qint64 loadStall = 0;
    qint64 loadStallEnd = 0;
    double selectSeconds = 0;
    qint64 selectStall = 0;
    double logMegabytes = 0;
};

// One start of the window that reconnects the catalog, loads it and lists it, then closes.
LoadRun LoadThroughWindow(const QTemporaryDir& dir, const QString& connectString, int tables,
                          bool perObjectLog)
{
    const QString logBase = dir.filePath(perObjectLog ? QStringLiteral("logged") : QStringLiteral("quiet"));
    ProfileStore store(QStringLiteral("Velkaro"));
    store.WriteString(QStringLiteral("Log"), QStringLiteral("File"), logBase);
    for (const char* category : {"LOBJ", "LCOL", "LIND"})
        store.WriteInt(QStringLiteral("Log"), QString::fromLatin1(category), perObjectLog ? 1 : 0);
    store.WriteString(QStringLiteral("Recent DB"), QStringLiteral("0"),
                      QStringLiteral("Stall/p0/p") + connectString);
    store.WriteString(QStringLiteral("Recent DB"), QStringLiteral("1"), QString());
    test::RecordingPrompt prompt;
    CMainFrame frame(store, prompt);
    CLeftView& tree = *frame.LeftView();
    LoadRun run;

    // The start-up call (show, reconnect) runs before the event loop and is timed on its own; the
    // load's stalls are counted from the first turn of the event loop after it to the load's end.
    QElapsedTimer clock;
    clock.start();
    frame.StartUp();
    run.startUpSeconds = clock.nsecsElapsed() / 1e9;
    test::StallMeter meter;
    QTimer::singleShot(0, [&] { meter.start(); });
    QCoreApplication::processEvents();
    run.loaded = test::WindowBenchmark::WaitFor(
        [&] {
            QTreeWidgetItem* root = tree.topLevelItem(0);
            QTreeWidgetItem* database = root != nullptr ? root->child(0) : nullptr;
            return !tree.Hub().CanStop() && database != nullptr && database->childCount() >= tables;
        },
        600000);
    run.loadSeconds = clock.nsecsElapsed() / 1e9;
    run.loadStall = meter.longestMs();
    run.loadStallEnd = meter.longestEndedAtMs();
    if (!run.loaded)
        return run;
    // The load's last turns (the replay's tail, the end-of-load work) are part of the load.
    test::WindowBenchmark::WaitFor([&] { return false; }, 200);
    run.loadStall = std::max(run.loadStall, meter.longestMs());

    meter.start();
    clock.restart();
    tree.setCurrentItem(tree.topLevelItem(0)->child(0));
    test::WindowBenchmark::WaitFor([&] { return frame.ListView()->topLevelItemCount() >= tables; }, 600000);
    run.selectSeconds = clock.nsecsElapsed() / 1e9;
    test::WindowBenchmark::WaitFor([&] { return false; }, 200);
    run.selectStall = meter.longestMs();
    frame.close();
    run.logMegabytes = QFileInfo(logBase + QStringLiteral(".log")).size() / 1e6;
    return run;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1)
        tableCount = std::max(1, std::atoi(argv[1]));
    QTemporaryDir dir;
    if (!test::WindowBenchmark::Prepare(dir))
        return 2;
    QApplication application(argc, argv);
    initVelkaroResources();

    const QString file = dir.filePath(QStringLiteral("stall.sqlite"));
    if (!test::StallCatalog::Build(file, tableCount)) {
        std::fprintf(stderr, "could not build the catalog with the sqlite3 shell\n");
        return 1;
    }
    const QString connectString = QStringLiteral("DRIVER=SQLite3;Database=") + file;
    bareCatalogCalls(connectString); // warms the file cache
    QElapsedTimer clock;
    clock.start();
    const int tables = bareCatalogCalls(connectString);
    const double bareSeconds = clock.nsecsElapsed() / 1e9;

    // Per-object logging off first, then the default categories: what the log costs the load.
    const LoadRun quiet = LoadThroughWindow(dir, connectString, tables, false);
    const LoadRun logged = LoadThroughWindow(dir, connectString, tables, true);
    if (!quiet.loaded || !logged.loaded) {
        std::fprintf(stderr, "the catalog did not load\n");
        return 1;
    }
    std::printf("start-up call (show, reconnect; before the event loop, not counted as a stall) %.3f s\n",
                logged.startUpSeconds);
    std::printf("%d tables: bare catalog calls %.2f s\n", tables, bareSeconds);
    std::printf("  load through the window, per-object logging off   %.2f s (ratio %.2f to the bare calls)\n",
                quiet.loadSeconds, quiet.loadSeconds / bareSeconds);
    std::printf("  load through the window, default log categories   %.2f s (ratio %.2f to the bare calls), "
                "log %.1f MB\n",
                logged.loadSeconds, logged.loadSeconds / bareSeconds, logged.logMegabytes);
    std::printf("  the log's cost: %.2f (goal <= 1.15)\n", logged.loadSeconds / quiet.loadSeconds);
    std::printf(
        "load (event loop start to load end): longest stall %lld ms (ending %.2f s in; goal < 100 ms)\n",
        static_cast<long long>(logged.loadStall), logged.loadStallEnd / 1000.0);
    std::printf("listing the database: %.2f s, longest stall %lld ms (goal < 100 ms)\n", logged.selectSeconds,
                static_cast<long long>(logged.selectStall));
    return 0;
}

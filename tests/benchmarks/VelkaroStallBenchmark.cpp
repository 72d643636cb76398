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
#include "common/ProfileStore.h"
#include "explorer/shell/CMainFrame.h"
#include "explorer/views/CLeftView.h"
#include "resources/VelkaroResources.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
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

bool waitFor(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        // Sleeps until an event comes (the meter's ticks at the latest): a loop that spins here
        // takes a core from the worker and makes the load look slower than it is.
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1)
        tableCount = std::max(1, std::atoi(argv[1]));
    QTemporaryDir dir;
    if (!dir.isValid() || qEnvironmentVariableIsEmpty("ODBCSYSINI")) {
        std::fprintf(stderr, "needs a temporary folder and the test ODBC configuration "
                             "(source build/datasources/env.sh)\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toUtf8());
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

    ProfileStore store(QStringLiteral("Velkaro"));
    store.WriteString(QStringLiteral("Log"), QStringLiteral("File"),
                      dir.filePath(QStringLiteral("activity")));
    store.WriteString(QStringLiteral("Recent DB"), QStringLiteral("0"),
                      QStringLiteral("Stall/p0/p") + connectString);
    store.WriteString(QStringLiteral("Recent DB"), QStringLiteral("1"), QString());
    test::RecordingPrompt prompt;
    CMainFrame frame(store, prompt);
    CLeftView& tree = *frame.LeftView();

    // The start-up call (show, reconnect) runs before the event loop and is timed on its own; the
    // load's stalls are counted from the first turn of the event loop after it to the load's end.
    clock.start();
    frame.StartUp();
    const double startUpSeconds = clock.nsecsElapsed() / 1e9;
    test::StallMeter meter;
    QTimer::singleShot(0, [&] { meter.start(); });
    QCoreApplication::processEvents();
    const bool loaded = waitFor(
        [&] {
            QTreeWidgetItem* root = tree.topLevelItem(0);
            QTreeWidgetItem* database = root != nullptr ? root->child(0) : nullptr;
            return !tree.Hub().CanStop() && database != nullptr && database->childCount() >= tables;
        },
        600000);
    const double loadSeconds = clock.nsecsElapsed() / 1e9;
    const qint64 loadStall = meter.longestMs();
    const qint64 loadStallEnd = meter.longestEndedAtMs();
    if (!loaded) {
        std::fprintf(stderr, "the catalog did not load\n");
        return 1;
    }
    // The load's last turns (the replay's tail, the end-of-load work) are part of the load.
    waitFor([&] { return false; }, 200);
    const qint64 loadTailStall = std::max(loadStall, meter.longestMs());

    meter.start();
    clock.restart();
    tree.setCurrentItem(tree.topLevelItem(0)->child(0));
    waitFor([&] { return frame.ListView()->topLevelItemCount() >= tables; }, 600000);
    const double selectSeconds = clock.nsecsElapsed() / 1e9;
    waitFor([&] { return false; }, 200);
    const qint64 selectStall = meter.longestMs();

    std::printf("start-up call (show, reconnect; before the event loop, not counted as a stall) %.3f s\n",
                startUpSeconds);
    std::printf("%d tables: bare catalog calls %.2f s; load through the window %.2f s (ratio %.2f)\n", tables,
                bareSeconds, loadSeconds, loadSeconds / bareSeconds);
    std::printf(
        "load (event loop start to load end): longest stall %lld ms (ending %.2f s in; goal < 100 ms)\n",
        static_cast<long long>(loadTailStall), loadStallEnd / 1000.0);
    std::printf("listing the database: %.2f s, longest stall %lld ms (goal < 100 ms)\n", selectSeconds,
                static_cast<long long>(selectStall));
    frame.close();
    return 0;
}

// How long Zindrel's interface thread stops answering during a run, and how long a Stop takes
// while the driver waits on the server:
// 1. a whole run (all phases) in the real main window, offscreen, on a SQLite catalog of 4,000
//    tables: the longest gap between the ticks of a 10 ms timer from Start to the run's end;
// 2. the Control Panel fed 20,000 objects by a worker through the run's host, as the object phase
//    does: the longest gap, set against selecting by a search of the list's texts (the way it
//    was done before) over the first objects;
// 3. Stop latency: the time from stop() to the run's end while its SELECT waits on another
//    session's lock (PostgreSQL, MariaDB) or on a first row that takes minutes (SQLite).
//
// Run: source build/datasources/env.sh && build/tests/benchmarks/ZindrelStallBenchmark [tables]

#include "BlockedObject.h"
#include "RecordingPrompt.h"
#include "RecordingSearchHost.h"
#include "ShellTesting.h"
#include "StallMeter.h"
#include "TestDataSources.h"
#include "WindowBenchmark.h"
#include "common/ProfileStore.h"
#include "desktop/ShellPrompt.h"
#include "search/engine/DirectReportWriter.h"
#include "search/engine/ReportDocument.h"
#include "search/engine/SearchRun.h"
#include "search/shell/CMainFrame.h"
#include "search/shell/COmbrakView.h"
#include "search/shell/ControlPanel.h"
#include "search/shell/ShellSearchHost.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <thread>

using namespace velkaro;

namespace {

int tableCount = 4000;
constexpr int panelObjects = 20000;

// Tables of six columns with an index each; every tenth holds the needle in one of its rows.
QByteArray catalogScript()
{
    QByteArray script = "BEGIN;\n";
    for (int t = 0; t < tableCount; ++t) {
        const QString table = QStringLiteral("stall_%1").arg(t, 4, 10, QLatin1Char('0'));
        script +=
            QStringLiteral("CREATE TABLE %1 (c00 INTEGER, c01 VARCHAR(40), c02 DECIMAL(10,2), c03 DATE, "
                           "c04 VARCHAR(20), c05 INTEGER);\nCREATE INDEX %1_ix ON %1 (c01, c02);\n"
                           "INSERT INTO %1 VALUES (1, 'alpha', 1.5, '2024-01-01', 'x', 7), "
                           "(2, '%2', 2.5, '2024-01-02', 'y', 8);\n")
                .arg(table, t % 10 == 0 ? QStringLiteral("needle") : QStringLiteral("beta"))
                .toUtf8();
    }
    return script + "COMMIT;\n";
}

bool buildCatalog(const QString& path)
{
    QProcess shell;
    shell.start(QStringLiteral("sqlite3"), {path});
    if (!shell.waitForStarted())
        return false;
    shell.write(catalogScript());
    shell.closeWriteChannel();
    return shell.waitForFinished(600000) && shell.exitCode() == 0;
}

void measureWholeRun(const QString& folder)
{
    const QString file = folder + QStringLiteral("/stall.sqlite");
    if (!buildCatalog(file)) {
        std::fprintf(stderr, "could not build the catalog with the sqlite3 shell\n");
        return;
    }
    test::RemoveZindrelSettings();
    test::RecordingPrompt answers;
    ShellPrompt prompt(answers, nullptr);
    ProfileStore store(QStringLiteral("Zindrel"));
    zindrel::CMainFrame frame(store, prompt);
    frame.show();
    COmbrakView& view = *frame.View();

    test::StallMeter meter;
    QElapsedTimer clock;
    // The Parameters dialog is answered on the loop's first turns; the meter starts with the run.
    QTimer::singleShot(0, [&] {
        test::startRun(view, answers, QStringLiteral("DRIVER=SQLite3;Database=") + file,
                       QStringLiteral("c01|needle"));
    });
    test::WindowBenchmark::WaitFor([&] { return view.IsRunActive(); }, 60000);
    meter.start();
    clock.start();
    const bool ended = test::WindowBenchmark::WaitFor([&] { return !view.IsRunActive(); }, 1800000);
    const double seconds = clock.nsecsElapsed() / 1e9;
    const qint64 stall = meter.longestMs();
    std::printf("  the longest stall ended %.2f s after Start\n", meter.longestEndedAtMs() / 1000.0);
    const int listed = view.GetControlPanel() ? view.GetControlPanel()->ObjectList()->count() : 0;
    std::printf("whole run on %d tables (all phases, report of %d blocks): %.2f s, %s; longest interface "
                "stall %lld ms (goal < 100 ms); Control Panel lists %d objects\n",
                tableCount, view.Report().Document().blockCount(), seconds, ended ? "ended" : "DID NOT END",
                static_cast<long long>(stall), listed);
    frame.close();
}

void measureControlPanel()
{
    QStringList names;
    for (int i = 0; i < panelObjects; ++i)
        names << QStringLiteral("OWNER.OBJECT_%1").arg(i, 6, 10, QLatin1Char('0'));
    test::RecordingPrompt answers;
    ControlPanel panel(answers);
    panel.show();
    ShellSearchHost host(answers);
    host.SetControlPanel(&panel);

    test::StallMeter meter;
    meter.start();
    QElapsedTimer clock;
    clock.start();
    std::atomic<bool> done{false};
    std::thread worker([&] {
        host.SetProgressRange(SearchProgressBar::Objects, panelObjects);
        host.SetObjectList(names);
        for (const QString& name : names) {
            host.SelectObject(name);
            host.StepProgress(SearchProgressBar::Objects);
        }
        host.RunEnded();
        done = true;
    });
    test::WindowBenchmark::WaitFor(
        [&] { return done.load() && panel.ObjectList()->currentRow() == panelObjects - 1; }, 600000);
    worker.join();
    const double seconds = clock.nsecsElapsed() / 1e9;
    const qint64 stall = meter.longestMs();

    // The way before: each selection searched the list's texts.
    constexpr int sampled = 2000;
    clock.restart();
    for (int i = 0; i < sampled; ++i) {
        const QList<QListWidgetItem*> found = panel.ObjectList()->findItems(names.at(i), Qt::MatchExactly);
        panel.ObjectList()->setCurrentItem(found.last());
    }
    const double searchedPerObject = clock.nsecsElapsed() / 1e9 / sampled;
    clock.restart();
    for (int i = 0; i < sampled; ++i)
        panel.SelectObject(names.at(i));
    const double keyedPerObject = clock.nsecsElapsed() / 1e9 / sampled;
    std::printf(
        "Control Panel, %d objects from a worker: %.2f s, longest interface stall %lld ms (goal < 100 "
        "ms)\n",
        panelObjects, seconds, static_cast<long long>(stall));
    std::printf("  one selection: %.1f us by name, %.1f us searching the texts (ratio %.0f; %.1f s for all "
                "%d objects)\n",
                keyedPerObject * 1e6, searchedPerObject * 1e6, searchedPerObject / keyedPerObject,
                searchedPerObject * panelObjects, panelObjects);
}

// Milliseconds from stop() to the run's end; negative when the run was not blocked as planned.
double stopLatency(const QString& source, const QString& folder)
{
    test::BlockedObject blocked;
    if (!blocked.lock(source, folder))
        return -1;
    test::RecordingPrompt prompt;
    CDbSession session(SessionVariant::Search);
    if (!session.ConnectByString(blocked.connectString(), prompt))
        return -1;
    ReportDocument document(prompt);
    DirectReportWriter writer(document);
    test::RecordingSearchHost host;
    SearchParameters parameters;
    parameters.AcceptSearchText(QStringLiteral("needle-4711"));
    SearchRun run(session, parameters, writer, host);
    run.SetObjectFilter(blocked.objects());
    run.Start();
    if (!blocked.waitUntilWaiting())
        return -1;
    QElapsedTimer clock;
    clock.start();
    run.Stop();
    while (host.runsEnded() == 0 && clock.elapsed() < 30000)
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    const double milliseconds = clock.nsecsElapsed() / 1e6;
    blocked.release();
    run.Wait();
    return milliseconds;
}

void measureStopLatency(const QString& folder)
{
    for (const char* key : {"sqlite", "postgres", "mariadb"}) {
        const QString source = QString::fromLatin1(key);
        if (!test::unavailableReason(test::testDataSource(source)).isEmpty()) {
            std::printf("stop latency on %s: source not available\n", key);
            continue;
        }
        std::vector<double> times;
        for (int round = 0; round < 5; ++round) {
            QTemporaryDir scratch(folder + QStringLiteral("/stop-XXXXXX"));
            times.push_back(stopLatency(source, scratch.path()));
        }
        std::sort(times.begin(), times.end());
        std::printf(
            "stop latency on %s while the SELECT waits: median %.1f ms, worst %.1f ms of 5 (goal < 1000 "
            "ms)\n",
            key, times[2], times.back());
    }
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
    measureStopLatency(dir.path());
    measureControlPanel();
    measureWholeRun(dir.path());
    return 0;
}

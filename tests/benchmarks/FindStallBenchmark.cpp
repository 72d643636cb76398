// How long Find and Find Next hold the interface thread on a large catalog: builds a 5,000-table
// SQLite catalog (20 columns and 2 indexes a table: 100,000 columns), loads it in the real main
// window offscreen, then runs searches through the hub as the Find dialog's answer starts them, with
// a 10 ms timer ticking between the commands. Prints, per search, the longest single command and the
// longest gap between ticks (the command plus the list fill it starts), and the time of a search that
// walks the whole catalog against a bare loop over the same names in the same process.
//
// Run: source build/datasources/env.sh && build/tests/benchmarks/FindStallBenchmark [tables]

#include "RecordingPrompt.h"
#include "SqliteFixture.h"
#include "StallCatalog.h"
#include "StallMeter.h"
#include "WindowBenchmark.h"
#include "catalog/CDbSession.h"
#include "common/ProfileStore.h"
#include "explorer/shell/CMainFrame.h"
#include "explorer/views/CLeftView.h"
#include "explorer/views/CVelkaroView.h"
#include "resources/VelkaroResources.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

using namespace velkaro;

namespace {

struct Figures
{
    int commands = 0;
    qint64 longestCommandNs = 0;
    qint64 totalNs = 0;
    qint64 longestStallMs = 0;
};

// A new search for text, then Find Next until steps commands ran, each in its own turn of the
// event loop and each waiting for the list fill it started.
Figures run(CMainFrame& frame, const FindRequest& request, int steps)
{
    ExplorerHub& hub = frame.LeftView()->Hub();
    Figures figures;
    test::StallMeter meter;
    meter.start();
    for (int step = 0; step < steps; ++step) {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            QElapsedTimer clock;
            clock.start();
            if (step == 0)
                hub.RunFind(request);
            else
                hub.FindNext();
            const qint64 ns = clock.nsecsElapsed();
            figures.longestCommandNs = std::max(figures.longestCommandNs, ns);
            figures.totalNs += ns;
            ran = true;
        });
        test::WindowBenchmark::WaitFor([&] { return ran && !frame.ListView()->FillInProgress(); }, 60000);
        ++figures.commands;
    }
    test::WindowBenchmark::WaitFor([] { return false; }, 50);
    figures.longestStallMs = meter.longestMs();
    return figures;
}

void print(const char* what, const Figures& figures)
{
    std::printf("%-58s %4d commands: longest command %6.1f ms, mean %6.2f ms, longest stall %4lld ms "
                "(goal < 100 ms)\n",
                what, figures.commands, figures.longestCommandNs / 1e6,
                figures.totalNs / 1e6 / std::max(1, figures.commands),
                static_cast<long long>(figures.longestStallMs));
}

// The names a whole search compares, upper-cased and tested as the search does, without the hub.
qint64 bareWalkNs(const CDbSession& session, const QString& text)
{
    const QString upperText = text.toUpper();
    QElapsedTimer clock;
    clock.start();
    int hits = 0;
    for (const auto& object : session.Objects()) {
        hits += object->Name().toUpper().contains(upperText) ? 1 : 0;
        if (const auto columns = object->Columns())
            for (const ColumnRecord& column : columns->columns)
                hits += column.name.toUpper().contains(upperText) ? 1 : 0;
        if (const auto indexes = object->Indexes())
            for (const IndexRecord& index : indexes->indexes) {
                hits += index.name.toUpper().contains(upperText) ? 1 : 0;
                for (const QString& name : index.columnNames)
                    hits += name.toUpper().contains(upperText) ? 1 : 0;
            }
    }
    const qint64 ns = clock.nsecsElapsed();
    return hits < 0 ? 0 : ns;
}

} // namespace

int main(int argc, char** argv)
{
    const int tables = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5000;
    QTemporaryDir dir;
    if (!test::WindowBenchmark::Prepare(dir))
        return 2;
    QApplication application(argc, argv);
    initVelkaroResources();

    const QString file = dir.filePath(QStringLiteral("stall.sqlite"));
    if (!test::StallCatalog::Build(file, tables)) {
        std::fprintf(stderr, "could not build the catalog with the sqlite3 shell\n");
        return 1;
    }
    ProfileStore store(QStringLiteral("Velkaro"));
    store.WriteString(QStringLiteral("Log"), QStringLiteral("File"),
                      dir.filePath(QStringLiteral("activity")));
    store.WriteString(QStringLiteral("Recent DB"), QStringLiteral("0"),
                      QStringLiteral("Stall/p0/p") + test::sqliteFileConnectString(file));
    store.WriteString(QStringLiteral("Recent DB"), QStringLiteral("1"), QString());
    test::RecordingPrompt prompt;
    CMainFrame frame(store, prompt);
    frame.StartUp();
    ExplorerHub& hub = frame.LeftView()->Hub();
    if (!test::WindowBenchmark::WaitFor(
            [&] { return !hub.CanStop() && hub.Tree().NodeCount() > std::size_t(tables); }, 600000) ||
        hub.Databases().empty()) {
        std::fprintf(stderr, "the catalog did not load\n");
        return 1;
    }
    const CDbSession& session = *hub.Databases().Entries().front()->session;
    std::printf("%d tables, %d columns, %d indexes loaded\n", tables, tables * test::StallCatalog::kColumns,
                tables * 2);

    FindOptions whole;
    whole.wholeWord = true;
    const QString all = QStringLiteral("Velkaro");
    print("column c19 (a match in every table), Find + Find Next",
          run(frame, FindRequest{false, QStringLiteral("c19"), whole, all}, 200));
    print("c0 (columns and index columns, many per table)",
          run(frame, FindRequest{false, QStringLiteral("c0"), {}, all}, 200));
    const QString last = test::StallCatalog::TableName(tables - 1) + QStringLiteral("_ix");
    print("the last table's index (one walk over everything)",
          run(frame, FindRequest{false, last, whole, all}, 2));

    const QString absent = QStringLiteral("needle");
    qint64 bare = bareWalkNs(session, absent);
    bare = std::min(bare, bareWalkNs(session, absent));
    const Figures missing = run(frame, FindRequest{false, absent, {}, all}, 1);
    print("a name that is nowhere (the whole catalog, no match)", missing);
    std::printf(
        "whole catalog without a match: Find %.1f ms, bare loop over the same names %.1f ms (ratio %.2f)\n",
        missing.longestCommandNs / 1e6, bare / 1e6,
        static_cast<double>(missing.longestCommandNs) / static_cast<double>(std::max<qint64>(1, bare)));
    frame.close();
    return 0;
}

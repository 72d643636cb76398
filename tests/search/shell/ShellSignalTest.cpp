#include "RecordingPrompt.h"
#include "ShellTesting.h"
#include "TestDataSources.h"
#include "common/ProfileStore.h"
#include "common/SignalForwarder.h"
#include "desktop/ShellPrompt.h"
#include "search/shell/AboutDialog.h"
#include "search/shell/CMainFrame.h"
#include "search/shell/COmbrakView.h"

#include <QTest>
#include <csignal>

using namespace velkaro;
using velkaro::test::RecordingPrompt;

// SIGTERM ends the program even with a dialog open and a run under way. It quits the event loops
// for good, so it is the one test of this program.
class ShellSignalTest final : public QObject
{
    Q_OBJECT

private slots:
    void terminationClosesDialogsStopsTheRunAndSaves()
    {
        const test::TestDataSource& source = test::testDataSource("sqlite");
        VELKARO_REQUIRE_DATA_SOURCE(source);
        test::RemoveZindrelSettings();
        RecordingPrompt answers;
        ShellPrompt prompt(answers, nullptr);
        ProfileStore store(QStringLiteral("Zindrel"));
        auto* frame = new zindrel::CMainFrame(store, prompt);
        SignalForwarder terminationSignals;
        QVERIFY(terminationSignals.IsInstalled());
        connect(&terminationSignals, &SignalForwarder::Received, frame, &zindrel::CMainFrame::EndProgram);
        frame->show();

        COmbrakView* view = frame->View();
        test::startRun(*view, answers, source.connectString, QStringLiteral("needle-4711"));
        view->Pause(); // holds the worker at its next check
        QVERIFY(view->IsRunActive());

        test::whenModal<AboutDialog>([](AboutDialog&) { ::raise(SIGTERM); });
        frame->Action(QStringLiteral("actionAbout"))->trigger(); // returns once the signal closed it

        QVERIFY(!view->IsRunActive());
        QVERIFY(!frame->isVisible());
        QVERIFY(answers.questions.isEmpty()); // nobody was asked
        delete frame;                         // the view saves the settings
        ProfileStore saved(QStringLiteral("Zindrel"));
        QCOMPARE(saved.ReadString(QStringLiteral("Find"), QStringLiteral("0"), QString()), "needle-4711");
        QCOMPARE(saved.ReadInt(QStringLiteral("Settings"), QStringLiteral("asl"), 0), 500);
    }
};

QTEST_MAIN(ShellSignalTest)
#include "ShellSignalTest.moc"

// The Velkaro main window with its real panes, offscreen, over a private settings store: the
// first start, reconnecting at the next start, the shutdown order in the log, the stored
// placement, command states and signals.

#include "ActivityLogFile.h"
#include "RecordingPrompt.h"
#include "TestDataSources.h"
#include "catalog/CDbSession.h"
#include "common/ProfileStore.h"
#include "explorer/shell/CMainFrame.h"
#include "explorer/shell/CTerminateWaitDlg.h"
#include "explorer/shell/SignalCloser.h"
#include "explorer/views/CLeftView.h"
#include "resources/VelkaroResources.h"

#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <atomic>
#include <chrono>
#include <csignal>
#include <memory>
#include <thread>

using namespace velkaro;

namespace {

QStringList childTexts(const QAbstractItemModel& model, const QModelIndex& parent)
{
    QStringList texts;
    for (int row = 0; row < model.rowCount(parent); ++row)
        texts << model.index(row, 0, parent).data().toString();
    return texts;
}

} // namespace

class VelkaroFrameTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<CMainFrame> startFrame()
    {
        auto frame = std::make_unique<CMainFrame>(*m_store, m_prompt);
        frame->StartUp();
        return frame;
    }
    QAbstractItemModel& treeModel(const CMainFrame& frame)
    {
        return *static_cast<QAbstractItemView*>(frame.LeftView())->model();
    }
    // The log's lines without their time stamps.
    QStringList logLines() const
    {
        return velkaro::test::activityLogMessages(m_dir->filePath(QStringLiteral("run.log")));
    }
    QString recent(const char* name) const
    {
        return m_store->ReadString(QStringLiteral("Recent DB"), QString::fromLatin1(name),
                                   QStringLiteral("<none>"));
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ProfileStore> m_store;
    test::RecordingPrompt m_prompt;

private slots:
    void initTestCase() { initVelkaroResources(); }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_store = std::make_unique<ProfileStore>(QStringLiteral("Velkaro"));
        QFile::remove(m_store->FileName());
        m_store = std::make_unique<ProfileStore>(QStringLiteral("Velkaro"));
        m_store->WriteString(QStringLiteral("Log"), QStringLiteral("File"),
                             m_dir->filePath(QStringLiteral("run")));
        m_prompt = test::RecordingPrompt();
    }

    void firstStartWithEmptyStore()
    {
        auto frame = startFrame();
        QCOMPARE(frame->windowTitle(), QStringLiteral("Velkaro"));
        QCOMPARE(frame->frameGeometry().size(), QSize(640, 500));
        QVERIFY(!frame->isMaximized());
        QCOMPARE(frame->Splitter()->sizes().value(0), 200);
        QAbstractItemModel& model = treeModel(*frame);
        QTRY_COMPARE(childTexts(model, {}), QStringList{QStringLiteral("Velkaro")});
        QCOMPARE(model.rowCount(model.index(0, 0)), 0);
        QVERIFY(logLines().contains(QStringLiteral("Velkaro started.")));

        frame->close();
        frame.reset();
        QCOMPARE(recent("0"), QString()); // an empty list still ends with its empty value
        QCOMPARE(m_prompt.messages, QStringList());
    }

    void reconnectsFromRecentDatabases()
    {
        const test::TestDataSource& sqlite = test::testDataSource(QStringLiteral("sqlite"));
        VELKARO_REQUIRE_DATA_SOURCE(sqlite);
        const QString section = QStringLiteral("Recent DB");
        m_store->WriteString(section, QStringLiteral("0"),
                             QStringLiteral("Sales/p1/p") + sqlite.connectString);
        m_store->WriteString(section, QStringLiteral("1"), QString());
        m_store->WriteString(section, QStringLiteral("2"),
                             QStringLiteral("Stale/p0/p") + sqlite.connectString);

        auto frame = startFrame();
        QAbstractItemModel& model = treeModel(*frame);
        QTRY_COMPARE(childTexts(model, model.index(0, 0)), QStringList{QStringLiteral("Sales")});
        QTRY_VERIFY(logLines().contains(QStringLiteral("Sales: Database information loaded.")));
        QTRY_VERIFY(!frame->LeftView()->Hub().CanStop());

        // F5 refreshes the selected database.
        ExplorerHub& hub = frame->LeftView()->Hub();
        QVERIFY(frame->LeftView()->SelectNode(hub.Databases().Entries().front()->node));
        frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame.get()));
        QTest::keyClick(frame->LeftView(), Qt::Key_F5);
        QTRY_VERIFY(logLines().contains(QStringLiteral("Sales: Refreshing database.")));
        QTRY_VERIFY(!hub.CanStop());
        frame->close();
        frame.reset();

        QVERIFY2(recent("0").startsWith(QStringLiteral("Sales/p1/p")), qPrintable(recent("0")));
        QVERIFY(recent("0").contains(QStringLiteral("DSN=ShopSQLite")));
        QCOMPARE(recent("1"), QString());
        QCOMPARE(m_prompt.messages, QStringList());
    }

    // A saved database that is not reconnected (no such source, a login cancelled) stays in the list
    // for the next start, and the user is told once; only Remove Database takes it out.
    void unreconnectedDatabasesAreKeptAndReported()
    {
        const test::TestDataSource& postgres = test::testDataSource(QStringLiteral("postgres"));
        VELKARO_REQUIRE_DATA_SOURCE(postgres);
        const QString section = QStringLiteral("Recent DB");
        m_store->WriteString(section, QStringLiteral("0"), QStringLiteral("Gone/p0/pDSN=NoSuchSource"));
        m_store->WriteString(section, QStringLiteral("1"),
                             QStringLiteral("Locked/p1/pDSN=ShopPostgres;UID=velkaro"));
        m_store->WriteString(section, QStringLiteral("2"), QStringLiteral("Old/p0/pDSN=NoSuchSource"));
        auto frame = startFrame();
        QAbstractItemModel& model = treeModel(*frame);
        QTRY_COMPARE(childTexts(model, {}), QStringList{QStringLiteral("Velkaro")});
        QCOMPARE(model.rowCount(model.index(0, 0)), 0);
        QCOMPARE(m_prompt.loginRequests.size(), 1); // the login asked for, and cancelled
        QTRY_VERIFY(logLines().contains(
            QStringLiteral("Failed to reconnect to database Gone using connect string: DSN=NoSuchSource")));
        QCOMPARE(m_prompt.messages.size(), 1);
        QVERIFY2(m_prompt.messages.first().contains(QStringLiteral("Gone, Locked, Old")),
                 qPrintable(m_prompt.messages.first()));

        frame->LeftView()->Hub().RemoveDatabase(QStringLiteral("Old"));
        frame->close();
        frame.reset();
        QCOMPARE(recent("0"), QStringLiteral("Gone/p0/pDSN=NoSuchSource"));
        QCOMPARE(recent("1"), QStringLiteral("Locked/p1/pDSN=ShopPostgres;UID=velkaro"));
        QCOMPARE(recent("2"), QString());
        QCOMPARE(m_prompt.messages.size(), 1);
    }

    // "Ready" when nothing loads, the load while one runs, and back after a command's prompt.
    void statusBarShowsLoadsAndReturnsToReady()
    {
        auto frame = startFrame();
        QStatusBar* bar = frame->statusBar();
        QCOMPARE(bar->currentMessage(), QStringLiteral("Ready"));
        ExplorerHub& hub = frame->LeftView()->Hub();
        const QString loading = LoadProgress::LoadingText(QStringLiteral("Shop"), 1200);
        emit hub.LoadStatusChanged(loading);
        QCOMPARE(bar->currentMessage(), loading);
        bar->showMessage(QStringLiteral("Refresh all databases"));
        emit hub.LoadStatusChanged(LoadProgress::LoadingText(QStringLiteral("Shop"), 1300));
        QCOMPARE(bar->currentMessage(), QStringLiteral("Refresh all databases"));
        bar->clearMessage();
        QCOMPARE(bar->currentMessage(), LoadProgress::LoadingText(QStringLiteral("Shop"), 1300));
        emit hub.LoadStatusChanged(QString());
        QCOMPARE(bar->currentMessage(), QStringLiteral("Ready"));
        bar->showMessage(QStringLiteral("Quit the application"));
        bar->clearMessage();
        QCOMPARE(bar->currentMessage(), QStringLiteral("Ready"));
    }

    // The scheduler's refresh of the database whose object is selected in the tree: the emptied
    // node is not selected again, so no on-access load is asked for and refused.
    void scheduledRefreshOfTheSelectedDatabase()
    {
        const test::TestDataSource& sqlite = test::testDataSource(QStringLiteral("sqlite"));
        VELKARO_REQUIRE_DATA_SOURCE(sqlite);
        m_store->WriteInt(QStringLiteral("Log"), QStringLiteral("LREF"), 1);
        auto frame = startFrame();
        ExplorerHub& hub = frame->LeftView()->Hub();
        auto session = std::make_shared<CDbSession>();
        session->ConnectByString(sqlite.connectString, m_prompt);
        QVERIFY(!session->ConnectFailed());
        QVERIFY(hub.AddDatabase(session, QStringLiteral("Shop"), false, false, false));
        QTRY_VERIFY_WITH_TIMEOUT(!hub.CanStop(), 30000);
        const DatabaseEntryPtr shop = hub.Databases().FindEntryByAlias(QStringLiteral("Shop"));
        QTRY_VERIFY(frame->LeftView()->SelectNode(hub.Tree().Children(shop->node).front()));
        QTest::qWait(50);

        const QDateTime now = QDateTime::currentDateTime();
        shop->lastRefreshed.store(now.toSecsSinceEpoch() - 300 * 60);
        QCOMPARE(hub.Scheduler().AutoRefresh(now), 1);
        QTest::qWait(200);
        QTRY_VERIFY_WITH_TIMEOUT(!hub.CanStop(), 30000);
        QTest::qWait(200);
        const QStringList lines = logLines();
        QVERIFY(!lines.contains(
            QStringLiteral("Could not refresh database Shop, the database is in use by another thread.")));
        QCOMPARE(lines.count(QStringLiteral("Shop: Refreshing database.")), 1);
        QCOMPARE(frame->LeftView()->SelectedNode(), hub.Tree().Root());
        frame->close();
    }

    void shutdownLinesInOrder_data()
    {
        QTest::addColumn<int>("lany");
        QTest::addColumn<QStringList>("tail");
        QTest::newRow("everything else logged")
            << 1
            << QStringList{QStringLiteral("Terminating working threads."),
                           QStringLiteral("Releasing used memory."), QStringLiteral("Velkaro terminated.")};
        QTest::newRow("everything else off") << 0 << QStringList{QStringLiteral("Velkaro terminated.")};
    }
    void shutdownLinesInOrder()
    {
        QFETCH(int, lany);
        QFETCH(QStringList, tail);
        m_store->WriteInt(QStringLiteral("Log"), QStringLiteral("LANY"), lany);
        auto frame = startFrame();
        frame->close();
        frame.reset();
        const QStringList lines = logLines();
        QCOMPARE(lines.value(0), QStringLiteral("Velkaro started."));
        QCOMPARE(lines.mid(lines.size() - tail.size()), tail);
        QCOMPARE(lines.count(QStringLiteral("Velkaro terminated.")), 1);
    }

    void placementRoundTrip_data()
    {
        QTest::addColumn<bool>("maximized");
        QTest::newRow("normal") << false;
        QTest::newRow("maximized") << true;
    }
    void placementRoundTrip()
    {
        QFETCH(bool, maximized);
        auto frame = startFrame();
        frame->resize(900, 600);
        frame->Splitter()->setSizes({300, 600});
        if (maximized)
            frame->showMaximized();
        QTRY_COMPARE(frame->isMaximized(), maximized);
        const QSize outer = frame->frameGeometry().size();
        frame->close();
        frame.reset();

        const QString section = QStringLiteral("Settings");
        QCOMPARE(m_store->ReadInt(section, QStringLiteral("Maximized"), -1), maximized ? 1 : 0);
        QCOMPARE(m_store->ReadInt(section, QStringLiteral("Width"), -1), outer.width());
        QCOMPARE(m_store->ReadInt(section, QStringLiteral("Height"), -1), outer.height());
        QCOMPARE(m_store->ReadInt(section, QStringLiteral("Tree"), -1), 300);

        frame = startFrame();
        QTRY_COMPARE(frame->isMaximized(), maximized);
        if (!maximized)
            QCOMPARE(frame->frameGeometry().size(), outer); // the stored outer size, not grown by the frame
        QCOMPARE(frame->Splitter()->sizes().value(0), 300);
        frame->close();
    }

    // A worker stuck in a driver call: the close waits about nine seconds, gives up, and tells the
    // program to end without freeing what the worker still uses.
    void stuckWorkerIsReportedAfterTheWait()
    {
        const test::TestDataSource& sqlite = test::testDataSource(QStringLiteral("sqlite"));
        VELKARO_REQUIRE_DATA_SOURCE(sqlite);
        m_store->WriteInt(QStringLiteral("Log"), QStringLiteral("LANY"), 1);
        m_store->WriteString(QStringLiteral("Recent DB"), QStringLiteral("0"),
                             QStringLiteral("Stuck/p0/p") + sqlite.connectString);
        auto release = std::make_shared<std::atomic<bool>>(false);
        auto frame = std::make_unique<CMainFrame>(*m_store, m_prompt);
        frame->LeftView()->Hub().SetDatabaseLoad([release](ExplorerJob&) {
            while (!release->load())
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
        });
        frame->StartUp();
        QTRY_VERIFY(frame->LeftView()->Hub().CanStop());

        frame->close();
        QVERIFY(frame->WorkersStillRunning());
        const QStringList lines = logLines();
        QCOMPARE(
            lines.mid(lines.size() - 4),
            (QStringList{QStringLiteral("Terminating working threads."),
                         QStringLiteral("Working threads not responding, quitting anyway."),
                         QStringLiteral("Releasing used memory."), QStringLiteral("Velkaro terminated.")}));
        // The reconnect list is written even so.
        QVERIFY(recent("0").startsWith(QStringLiteral("Stuck/p0/p")));
        frame.reset();
        release->store(true);
        std::this_thread::sleep_for(std::chrono::milliseconds(200)); // let the worker return before exit
    }

    void commandsFollowTheTreePane()
    {
        auto frame = startFrame();
        const CMainFrame::Commands& c = frame->GetCommands();
        frame->UpdateCommandStates();
        // Only the root: nothing to refresh, stop or go back to.
        QVERIFY(!c.refreshAll->isEnabled());
        QVERIFY(!c.refreshDb->isEnabled());
        QVERIFY(!c.stop->isEnabled());
        QVERIFY(!c.back->isEnabled());
        QVERIFY(!c.forward->isEnabled());
        QVERIFY(c.addDatabase->isEnabled());
        QVERIFY(c.removeDatabase->isEnabled());

        QStringList toolbar;
        for (QAction* action : frame->ToolBar()->actions())
            toolbar << (action->isSeparator() ? QStringLiteral("|") : action->toolTip());
        QCOMPARE(toolbar, (QStringList{"Back", "Forward", "Up", "|", "Find", "Find Next", "|", "Stop", "|",
                                       "Add Database", "Remove Database", "|", "Reports", "Properties", "|",
                                       "About Velkaro", "What's This?"}));
        QStringList menus;
        for (QAction* menu : frame->menuBar()->actions())
            menus << menu->text();
        QCOMPARE(menus, (QStringList{"&File", "&View", "&Go", "&DB", "&Preferences", "&Help"}));
        QStringList panes;
        for (QLabel* label : frame->Indicators())
            panes << label->text();
        QCOMPARE(panes, (QStringList{"CAP", "NUM", "SCRL"}));
        frame->close();
    }

    void terminateWaitDialog()
    {
        CTerminateWaitDlg wait;
        QVERIFY(wait.isVisible());
        QCOMPARE(wait.windowTitle(), QStringLiteral("Velkaro"));
        QCOMPARE(wait.CounterText(), QStringLiteral("10"));
        wait.ShowCountdown(7);
        QCOMPARE(wait.CounterText(), QStringLiteral("7"));
        // Cancel does not end the wait.
        const auto buttons = wait.findChildren<QPushButton*>();
        QCOMPARE(buttons.size(), 1);
        buttons.first()->click();
        QVERIFY(wait.isVisible());
    }

    // A signal with a modal dialog open closes the dialog, then the window, and the run ends in order.
    void signalClosesThroughModalDialog_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::addColumn<bool>("withDialog");
        QTest::newRow("SIGTERM, no dialog") << int(SIGTERM) << false;
        QTest::newRow("SIGTERM over a modal dialog") << int(SIGTERM) << true;
        QTest::newRow("SIGINT over a modal dialog") << int(SIGINT) << true;
        QTest::newRow("SIGHUP") << int(SIGHUP) << false;
    }
    void signalClosesThroughModalDialog()
    {
        QFETCH(int, signalNumber);
        QFETCH(bool, withDialog);
        auto frame = startFrame();
        SignalCloser closer(frame.get());
        QVERIFY(closer.IsInstalled());
        bool dialogReturned = false;
        QTimer::singleShot(0, frame.get(), [&] {
            if (withDialog) {
                QDialog dialog(frame.get());
                QTimer::singleShot(50, [signalNumber] { std::raise(signalNumber); });
                dialog.exec();
                dialogReturned = true;
                // The window must still be whole when the dialog's caller goes on.
                QVERIFY(frame->LeftView() != nullptr);
            } else {
                std::raise(signalNumber);
            }
        });
        QTRY_VERIFY(frame->IsShutDown());
        QCOMPARE(dialogReturned, withDialog);
        QCOMPARE(closer.LastSignal(), signalNumber);
        QCOMPARE(m_store->ReadInt(QStringLiteral("Settings"), QStringLiteral("Width"), -1), 640);
        QCOMPARE(logLines().last(), QStringLiteral("Velkaro terminated."));
    }
};

QTEST_MAIN(VelkaroFrameTest)
#include "VelkaroFrameTest.moc"

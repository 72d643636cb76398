// The timed auto-refresh on a fake clock: the time-of-day window, the idle period and what one
// run starts, against real SQLite databases.

#include "HubTestPort.h"
#include "catalog/CDbSession.h"
#include "common/ProfileStore.h"
#include "explorer/logsettings/RefreshSettings.h"
#include "tests/support/ActivityLogFile.h"
#include "tests/support/RecordingPrompt.h"
#include "tests/support/TestDataSources.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace velkaro;
using namespace velkaro::test;

#if defined(__SANITIZE_THREAD__)
// As in ExplorerHubTest: glibc's tzset lock is invisible to ThreadSanitizer.
extern "C" const char* __tsan_default_suppressions()
{
    return "race:tzset_internal\n";
}
#endif

namespace {

const QDateTime kNoon(QDate(2026, 3, 4), QTime(12, 0));

// A hub on a fake clock, with its log in a temporary folder.
struct ScheduledExplorer
{
    explicit ScheduledExplorer(const std::function<void(ProfileStore&)>& presets = {})
    {
        store.WriteString(QStringLiteral("Log"), QStringLiteral("File"),
                          logDir.filePath(QStringLiteral("velkaro")));
        store.WriteInt(QStringLiteral("Log"), QStringLiteral("LREF"), 1);
        if (presets)
            presets(store);
        hub = std::make_unique<ExplorerHub>(store, prompt);
        port = std::make_unique<HubTestPort>(*hub);
        hub->Scheduler().SetClock([this] { return now; });
        hub->InsertRoot();
    }
    ~ScheduledExplorer()
    {
        hub->Shutdown();
        port.reset();
        hub.reset();
    }

    DatabaseEntryPtr add(const QString& alias)
    {
        auto session = std::make_shared<CDbSession>();
        session->ConnectByString(testDataSource(QStringLiteral("sqlite")).connectString, prompt);
        if (session->ConnectFailed())
            return nullptr;
        hub->AddDatabase(session, alias, false, true, false);
        return hub->Databases().FindEntryByAlias(alias);
    }
    // Last loaded this many minutes before the fake now.
    void setAge(const DatabaseEntryPtr& entry, int minutes)
    {
        entry->lastRefreshed.store(now.toSecsSinceEpoch() - qint64(minutes) * 60);
    }
    bool idle() const
    {
        return !hub->CanStop() && hub->Jobs().QueuedCount() == 0 && hub->Workers().Threads().LiveCount() == 0;
    }
    QStringList logLines() const
    {
        hub->GetActivityLog().Flush();
        return activityLogMessages(logDir.filePath(QStringLiteral("velkaro.log")));
    }
    int refreshes(const QString& alias) const
    {
        return static_cast<int>(logLines().count(alias + QStringLiteral(": Refreshing database.")));
    }

    QDateTime now = kNoon;
    QTemporaryDir logDir;
    ProfileStore store{QStringLiteral("Velkaro")};
    RecordingPrompt prompt;
    std::unique_ptr<ExplorerHub> hub;
    std::unique_ptr<HubTestPort> port;
};

} // namespace

class RefreshSchedulerTest final : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        ProfileStore store(QStringLiteral("Velkaro"));
        QFile::remove(store.FileName());
    }

    void timeWindow_data()
    {
        QTest::addColumn<QTime>("notBefore");
        QTest::addColumn<QTime>("notAfter");
        QTest::addColumn<QTime>("at");
        QTest::addColumn<bool>("runs");
        const QTime evening(19, 0);
        const QTime morning(6, 0);
        QTest::newRow("across midnight: noon is too early") << evening << morning << QTime(12, 0) << false;
        QTest::newRow("across midnight: its start") << evening << morning << QTime(19, 0) << true;
        QTest::newRow("across midnight: the minute before its end")
            << evening << morning << QTime(5, 59) << true;
        QTest::newRow("across midnight: its end") << evening << morning << QTime(6, 0) << false;
        QTest::newRow("across midnight: seconds do not count")
            << evening << morning << QTime(5, 59, 59) << true;
        const QTime eight(8, 0);
        const QTime six(18, 0);
        QTest::newRow("within a day: its end") << eight << six << QTime(18, 0) << true;
        QTest::newRow("within a day: after its end") << eight << six << QTime(18, 1) << false;
        QTest::newRow("within a day: before its start") << eight << six << QTime(7, 59) << false;
    }
    void timeWindow()
    {
        QFETCH(QTime, notBefore);
        QFETCH(QTime, notAfter);
        QFETCH(QTime, at);
        QFETCH(bool, runs);
        const TestDataSource& sqlite = testDataSource(QStringLiteral("sqlite"));
        VELKARO_REQUIRE_DATA_SOURCE(sqlite);
        ScheduledExplorer explorer([](ProfileStore& store) {
            store.WriteInt(QStringLiteral("Refresh"), QStringLiteral("RTIME"), 1);
        });
        RefreshSettings& settings = explorer.hub->GetRefreshSettings();
        settings.notBefore = notBefore;
        settings.notAfter = notAfter;
        const DatabaseEntryPtr shop = explorer.add(QStringLiteral("Shop"));
        QVERIFY(shop);
        QTRY_VERIFY_WITH_TIMEOUT(explorer.idle(), 30000);
        explorer.now = QDateTime(kNoon.date(), at);
        explorer.setAge(shop, 1000);

        QCOMPARE(explorer.hub->Scheduler().InRefreshWindow(explorer.now), runs);
        QCOMPARE(explorer.hub->Scheduler().AutoRefresh(explorer.now), runs ? 1 : 0);
        QCOMPARE(explorer.refreshes(QStringLiteral("Shop")), runs ? 1 : 0);
        QCOMPARE(explorer.logLines().contains(QStringLiteral("DEBUG: skipping refresh, too early")), !runs);
        QTRY_VERIFY_WITH_TIMEOUT(explorer.idle(), 30000);
    }

    // With the defaults: a run after 61 idle minutes, of the databases older than 240 minutes;
    // input restarts the idle period.
    void idlePeriodAndAge()
    {
        const TestDataSource& sqlite = testDataSource(QStringLiteral("sqlite"));
        VELKARO_REQUIRE_DATA_SOURCE(sqlite);
        ScheduledExplorer explorer;
        const DatabaseEntryPtr old = explorer.add(QStringLiteral("Old"));
        const DatabaseEntryPtr recent = explorer.add(QStringLiteral("Recent"));
        QVERIFY(old && recent);
        QTRY_VERIFY_WITH_TIMEOUT(explorer.idle(), 30000);
        RefreshScheduler& scheduler = explorer.hub->Scheduler();
        const QDateTime start = explorer.now;

        explorer.now = start.addSecs(30 * 60);
        QObject target;
        QEvent move(QEvent::MouseMove);
        QCoreApplication::sendEvent(&target, &move);
        explorer.now = start.addSecs(61 * 60);
        QVERIFY(!scheduler.CheckIdle());
        explorer.now = start.addSecs(90 * 60 + 59);
        QVERIFY(!scheduler.CheckIdle());

        explorer.now = start.addSecs(91 * 60);
        explorer.setAge(old, 241);
        explorer.setAge(recent, 240);
        QVERIFY(scheduler.CheckIdle());
        QCOMPARE(explorer.refreshes(QStringLiteral("Old")), 1);
        QCOMPARE(explorer.refreshes(QStringLiteral("Recent")), 0);
        // A new idle period begins with the run.
        explorer.now = explorer.now.addSecs(60 * 60);
        QVERIFY(!scheduler.CheckIdle());
        QTRY_VERIFY_WITH_TIMEOUT(explorer.idle(), 30000);
        QVERIFY(explorer.hub->Tree().HasChildren(old->node));
    }

    void fiveDueDatabasesWithTwoSlots()
    {
        const TestDataSource& sqlite = testDataSource(QStringLiteral("sqlite"));
        VELKARO_REQUIRE_DATA_SOURCE(sqlite);
        ScheduledExplorer explorer([](ProfileStore& store) {
            store.WriteInt(QStringLiteral("ObjLook"), QStringLiteral("MaxM"), 2);
        });
        QStringList aliases;
        for (int i = 1; i <= 5; ++i) {
            aliases.append(QStringLiteral("Shop%1").arg(i));
            QVERIFY(explorer.add(aliases.last()));
        }
        QTRY_VERIFY_WITH_TIMEOUT(explorer.idle(), 30000);
        std::atomic<bool> open{false};
        explorer.hub->SetDatabaseLoad([&open](ExplorerJob& job) {
            while (!open.load())
                QThread::msleep(5);
            job.entry->session->LoadObjects(job.load);
        });
        for (const DatabaseEntryPtr& entry : explorer.hub->Databases().Entries())
            explorer.setAge(entry, 300);

        QCOMPARE(explorer.hub->Scheduler().AutoRefresh(explorer.now), 5);
        QCOMPARE(explorer.hub->Workers().BusyCount(), 2);
        QCOMPARE(explorer.hub->Jobs().QueuedCount(), 3);
        const QStringList lines = explorer.logLines();
        for (int i = 0; i < 5; ++i)
            QCOMPARE(lines.count(QStringLiteral("Database %1 has been queued for refresh.").arg(aliases[i])),
                     i < 2 ? 0 : 1);
        QCOMPARE(explorer.port->selected, explorer.hub->Tree().Root());
        open.store(true);
        QTRY_VERIFY_WITH_TIMEOUT(explorer.idle(), 30000);
    }

    // The selected database is emptied by its refresh: the root is selected before, so no
    // on-access load of the emptied node is asked for and refused.
    void selectedDatabaseRefreshedWithoutRefusal()
    {
        const TestDataSource& sqlite = testDataSource(QStringLiteral("sqlite"));
        VELKARO_REQUIRE_DATA_SOURCE(sqlite);
        ScheduledExplorer explorer;
        const DatabaseEntryPtr shop = explorer.add(QStringLiteral("Shop"));
        QVERIFY(shop);
        QTRY_VERIFY_WITH_TIMEOUT(explorer.idle(), 30000);
        QVERIFY(explorer.port->SelectNode(explorer.hub->Tree().Children(shop->node).front()));
        explorer.setAge(shop, 300);
        QCOMPARE(explorer.hub->Scheduler().AutoRefresh(explorer.now), 1);
        QCOMPARE(explorer.port->selected, explorer.hub->Tree().Root());
        QTRY_VERIFY_WITH_TIMEOUT(explorer.idle(), 30000);
        QVERIFY(!explorer.logLines().contains(
            QStringLiteral("Could not refresh database Shop, the database is in use by another thread.")));
        QVERIFY(explorer.hub->Tree().HasChildren(shop->node));
    }

    void neverOpenedDatabaseStaysUnloaded()
    {
        const TestDataSource& sqlite = testDataSource(QStringLiteral("sqlite"));
        VELKARO_REQUIRE_DATA_SOURCE(sqlite);
        ScheduledExplorer explorer([](ProfileStore& store) {
            store.WriteInt(QStringLiteral("ObjLook"), QStringLiteral("RAOBJ"), 1);
        });
        const DatabaseEntryPtr shop = explorer.add(QStringLiteral("Shop"));
        QVERIFY(shop);
        explorer.setAge(shop, 300);
        const qint64 before = QDateTime::currentSecsSinceEpoch();
        QCOMPARE(explorer.hub->Scheduler().AutoRefresh(explorer.now), 1);
        QVERIFY(explorer.idle());
        QVERIFY(!explorer.hub->Tree().HasChildren(shop->node));
        QVERIFY(shop->lastRefreshed.load() >= before);
    }

    // Automatic refresh switched off: nothing runs, however long the program is idle.
    void switchedOff()
    {
        const TestDataSource& sqlite = testDataSource(QStringLiteral("sqlite"));
        VELKARO_REQUIRE_DATA_SOURCE(sqlite);
        ScheduledExplorer explorer([](ProfileStore& store) {
            store.WriteInt(QStringLiteral("Refresh"), QStringLiteral("RAUTO"), 0);
        });
        const DatabaseEntryPtr shop = explorer.add(QStringLiteral("Shop"));
        QVERIFY(shop);
        QTRY_VERIFY_WITH_TIMEOUT(explorer.idle(), 30000);
        explorer.now = explorer.now.addDays(1);
        explorer.setAge(shop, 10000);
        QVERIFY(!explorer.hub->Scheduler().CheckIdle());
        QCOMPARE(explorer.hub->Scheduler().AutoRefresh(explorer.now), 0);
        QCOMPARE(explorer.refreshes(QStringLiteral("Shop")), 0);
    }
};

QTEST_GUILESS_MAIN(RefreshSchedulerTest)
#include "RefreshSchedulerTest.moc"

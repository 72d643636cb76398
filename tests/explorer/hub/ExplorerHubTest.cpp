#include "HubTestPort.h"
#include "catalog/CDbSession.h"
#include "catalog/ObjectRecord.h"
#include "common/ProfileStore.h"
#include "explorer/core/ObjectNodes.h"
#include "tests/support/ActivityLogFile.h"
#include "tests/support/RecordingPrompt.h"
#include "tests/support/TestDataSources.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <sql.h>
#include <sqlext.h>
#include <thread>

using namespace velkaro;
using namespace velkaro::test;

#if defined(__SANITIZE_THREAD__)
// Workers stamp log lines in local time while the main thread's Qt (uninstrumented) reads the
// time zone too; glibc serialises tzset with an internal lock that ThreadSanitizer cannot see.
extern "C" const char* __tsan_default_suppressions()
{
    return "race:tzset_internal\n";
}
#endif

namespace {

// Holds database workers at the start of their load until the test lets them go.
class LoadGate final
{
public:
    void wait()
    {
        std::unique_lock lock(m_mutex);
        ++m_waiting;
        m_changed.notify_all();
        m_changed.wait(lock, [this] { return m_open; });
        --m_waiting;
    }
    void open()
    {
        std::lock_guard lock(m_mutex);
        m_open = true;
        m_changed.notify_all();
    }
    void close()
    {
        std::lock_guard lock(m_mutex);
        m_open = false;
    }
    int waiting()
    {
        std::lock_guard lock(m_mutex);
        return m_waiting;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_open = false;
    int m_waiting = 0;
};

// One explorer with its store, prompt, log file and test panes.
// A settings preset for Explorer: one integer value.
std::function<void(ProfileStore&)> intSetting(const char* section, const char* name, int value)
{
    return [=](ProfileStore& store) {
        store.WriteInt(QString::fromLatin1(section), QString::fromLatin1(name), value);
    };
}

struct Explorer
{
    explicit Explorer(const std::function<void(ProfileStore&)>& presets = {})
    {
        store.WriteString(QStringLiteral("Log"), QStringLiteral("File"),
                          logDir.filePath(QStringLiteral("velkaro")));
        if (presets)
            presets(store);
        hub = std::make_unique<ExplorerHub>(store, prompt);
        port = std::make_unique<HubTestPort>(*hub);
    }
    ~Explorer() { destroy(); }

    void destroy()
    {
        if (!hub)
            return;
        hub->Shutdown();
        port.reset();
        hub.reset();
    }

    void gateLoads()
    {
        hub->SetDatabaseLoad([this](ExplorerJob& job) {
            gate.wait();
            job.entry->session->LoadObjects(job.load);
        });
    }

    QStringList logLines() const
    {
        if (hub) // a destroyed hub wrote everything on its way out
            hub->GetActivityLog().Flush();
        return velkaro::test::activityLogMessages(logDir.filePath(QStringLiteral("velkaro.log")));
    }

    bool idle() const
    {
        return !hub->CanStop() && hub->Jobs().QueuedCount() == 0 && hub->Workers().Threads().LiveCount() == 0;
    }

    QTemporaryDir logDir;
    ProfileStore store{QStringLiteral("Velkaro")};
    RecordingPrompt prompt;
    LoadGate gate;
    std::unique_ptr<ExplorerHub> hub;
    std::unique_ptr<HubTestPort> port;
};

std::shared_ptr<CDbSession> connectTo(const TestDataSource& source, UserPrompt& prompt)
{
    auto session = std::make_shared<CDbSession>();
    session->ConnectByString(source.connectString, prompt);
    return session->ConnectFailed() ? nullptr : session;
}

// The sample as "Shop" under a new root, loaded; null when it was not added or did not load.
DatabaseEntryPtr loadedShop(Explorer& explorer, const TestDataSource& sqlite)
{
    ExplorerHub& hub = *explorer.hub;
    hub.InsertRoot();
    if (!hub.AddDatabase(connectTo(sqlite, explorer.prompt), QStringLiteral("Shop"), false, true, false) ||
        !QTest::qWaitFor([&explorer] { return explorer.idle(); }, 30000))
        return nullptr;
    return hub.Databases().FindEntryByAlias(QStringLiteral("Shop"));
}

// The first column of the first row as a number; -1 when the query fails.
int queryInt(SQLHDBC connection, const QString& sql)
{
    SQLHSTMT statement = SQL_NULL_HSTMT;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, connection, &statement)))
        return -1;
    QByteArray text = sql.toUtf8();
    SQLINTEGER value = -1;
    SQLLEN indicator = 0;
    if (SQL_SUCCEEDED(SQLExecDirect(statement, reinterpret_cast<SQLCHAR*>(text.data()), SQL_NTS)) &&
        SQL_SUCCEEDED(SQLFetch(statement)))
        SQLGetData(statement, 1, SQL_C_SLONG, &value, 0, &indicator);
    SQLFreeHandle(SQL_HANDLE_STMT, statement);
    return value;
}

int countOf(const QStringList& lines, const QString& line)
{
    return static_cast<int>(lines.count(line));
}

} // namespace

class ExplorerHubTest final : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        // Each test starts from an empty store.
        ProfileStore store(QStringLiteral("Velkaro"));
        QFile::remove(store.FileName());
    }

    void startUpReconnectsAndShutdownSavesTheList()
    {
        const TestDataSource& sqlite = testDataSource(QStringLiteral("sqlite"));
        VELKARO_REQUIRE_DATA_SOURCE(sqlite);
        Explorer explorer([&](ProfileStore& store) {
            store.WriteInt(QStringLiteral("Log"), QStringLiteral("LANY"), 1);
            store.WriteString(QStringLiteral("Find"), QStringLiteral("0"), QStringLiteral("needle"));
            store.WriteString(QStringLiteral("Recent DB"), QStringLiteral("0"),
                              QStringLiteral("Shop/p1/p") + sqlite.connectString);
            store.WriteString(QStringLiteral("Recent DB"), QStringLiteral("1"),
                              QStringLiteral("Gone/p0/pDSN=NoSuchVelkaroSource"));
            store.WriteString(QStringLiteral("Recent DB"), QStringLiteral("2"), QString());
            store.WriteString(QStringLiteral("Recent DB"), QStringLiteral("3"),
                              QStringLiteral("Stale/p0/p") + sqlite.connectString);
        });
        ExplorerHub& hub = *explorer.hub;
        hub.InsertRoot();
        QCOMPARE(explorer.port->rowTexts(), QStringList{QStringLiteral("No databases have been selected")});
        hub.ReconnectRecentDatabases();

        QCOMPARE(hub.Databases().Entries().size(), std::size_t(1));
        const DatabaseEntryPtr shop = hub.Databases().Entries().front();
        QCOMPARE(shop->alias, QStringLiteral("Shop"));
        QVERIFY(shop->ownerOnly);
        QCOMPARE(explorer.port->selected, hub.Tree().Root());
        QCOMPARE(explorer.port->rowTexts(), QStringList{QStringLiteral("Shop")});
        QTRY_VERIFY_WITH_TIMEOUT(explorer.idle(), 30000);
        QVERIFY(hub.Tree().HasChildren(shop->node));
        QCOMPARE(hub.GetFindHistory().Strings(), QStringList{QStringLiteral("needle")});

        explorer.destroy();
        const QStringList lines = explorer.logLines();
        QCOMPARE(lines.first(), QStringLiteral("Velkaro started."));
        const qsizetype failed = lines.indexOf(QStringLiteral(
            "Failed to reconnect to database Gone using connect string: DSN=NoSuchVelkaroSource"));
        QVERIFY(failed >= 0);
        // The driver manager's reason follows; Shop's loader may write lines in between.
        qsizetype reason = failed + 1;
        while (lines.value(reason).startsWith(QStringLiteral("Shop: ")))
            ++reason;
        QVERIFY2(lines.value(reason).startsWith(QStringLiteral("ERROR: ")), qPrintable(lines.value(reason)));
        QVERIFY(lines.contains(QStringLiteral("Shop: Database information loaded.")));
        const QStringList ending = lines.mid(lines.size() - 3);
        QCOMPARE(ending, (QStringList{QStringLiteral("Terminating working threads."),
                                      QStringLiteral("Releasing used memory."),
                                      QStringLiteral("Velkaro terminated.")}));

        ProfileStore reread(QStringLiteral("Velkaro"));
        const QString saved = reread.ReadString(QStringLiteral("Recent DB"), QStringLiteral("0"), QString());
        QVERIFY2(saved.startsWith(QStringLiteral("Shop/p1/p")), qPrintable(saved));
        QVERIFY(!saved.contains(QStringLiteral("PWD="), Qt::CaseInsensitive));
        // The one not reconnected stays for the next start.
        QCOMPARE(reread.ReadString(QStringLiteral("Recent DB"), QStringLiteral("1"), QStringLiteral("x")),
                 QStringLiteral("Gone/p0/pDSN=NoSuchVelkaroSource"));
        QCOMPARE(reread.ReadString(QStringLiteral("Recent DB"), QStringLiteral("2"), QStringLiteral("x")),
                 QString());
        QCOMPARE(reread.ReadString(QStringLiteral("Find"), QStringLiteral("0"), QString()),
                 QStringLiteral("needle"));
    }

    void refreshAllWithTwoSlotsQueuesTheRest()
    {
        const TestDataSource& sqlite = testDataSource(QStringLiteral("sqlite"));
        VELKARO_REQUIRE_DATA_SOURCE(sqlite);
        Explorer explorer(intSetting("ObjLook", "MaxM", 2));
        ExplorerHub& hub = *explorer.hub;
        hub.InsertRoot();
        explorer.gateLoads();

        // A session that failed to connect adds nothing, and ends the add all the same.
        auto failed = std::make_shared<CDbSession>();
        failed->ConnectByString(QStringLiteral("DSN=NoSuchVelkaroSource"), explorer.prompt);
        QVERIFY(hub.AddDatabase(failed, QString(), false, true, false));
        QVERIFY(hub.Databases().empty());
        QVERIFY(!hub.AddingDatabase());

        // Adding: two loads start, the others wait for a slot, and a queued add still ends the add.
        QList<bool> started;
        for (int i = 0; i < 5; ++i) {
            auto session = connectTo(sqlite, explorer.prompt);
            QVERIFY(session);
            started.append(hub.AddDatabase(session, QString(), false, true, false));
            QVERIFY(!hub.AddingDatabase());
        }
        QCOMPARE(started, (QList<bool>{true, true, false, false, false}));
        QCOMPARE(hub.Jobs().QueuedCount(), 3);
        QCOMPARE(hub.Databases().CountBusyDatabases(), 2);
        explorer.gate.open();
        QTRY_VERIFY_WITH_TIMEOUT(explorer.idle(), 30000);
        for (const DatabaseEntryPtr& entry : hub.Databases().Entries())
            QVERIFY2(hub.Tree().HasChildren(entry->node), qPrintable(entry->alias));

        explorer.gate.close();
        hub.RefreshAll();
        QCOMPARE(hub.Databases().CountBusyDatabases(), 2);
        QCOMPARE(hub.Jobs().QueuedCount(), 3);
        QTRY_COMPARE(explorer.gate.waiting(), 2);
        hub.RefreshAll();
        QCOMPARE(hub.Jobs().QueuedCount(), 3);

        const QStringList lines = explorer.logLines();
        const auto& entries = hub.Databases().Entries();
        for (int i = 0; i < 5; ++i) {
            const QString alias = entries[static_cast<std::size_t>(i)]->alias;
            const int expectQueued = i < 2 ? 0 : 1;
            QCOMPARE(countOf(lines, QStringLiteral("Database %1 has been queued for refresh.").arg(alias)),
                     expectQueued);
            QCOMPARE(
                countOf(lines,
                        QStringLiteral("Skipping queue of database %1, it is already queued.").arg(alias)),
                expectQueued);
            QCOMPARE(countOf(lines, QStringLiteral("Could not refresh database %1, the database is in use by "
                                                   "another thread.")
                                        .arg(alias)),
                     1 - expectQueued);
            // A queued database is not in use, so the second request gets as far as the queue.
            QCOMPARE(countOf(lines, alias + QStringLiteral(": Refreshing database.")), 1 + expectQueued);
        }
        // Never more than two at once while the queue drains.
        explorer.gate.open();
        QElapsedTimer clock;
        clock.start();
        while (!explorer.idle() && clock.elapsed() < 30000) {
            QVERIFY(hub.Databases().CountBusyDatabases() <= 2);
            QTest::qWait(5);
        }
        QVERIFY(explorer.idle());
    }

    void oneSlotQueuesAnAddAndRefreshesInTheForeground()
    {
        const TestDataSource& sqlite = testDataSource(QStringLiteral("sqlite"));
        VELKARO_REQUIRE_DATA_SOURCE(sqlite);
        Explorer explorer(intSetting("ObjLook", "MaxM", 1));
        ExplorerHub& hub = *explorer.hub;
        hub.InsertRoot();
        QVERIFY(
            hub.AddDatabase(connectTo(sqlite, explorer.prompt), QStringLiteral("Other"), true, true, false));
        QTRY_VERIFY_WITH_TIMEOUT(explorer.idle(), 30000);
        // Only the database called Busy waits at the gate.
        hub.SetDatabaseLoad([&explorer](ExplorerJob& job) {
            if (job.load.alias == QLatin1String("Busy"))
                explorer.gate.wait();
            job.entry->session->LoadObjects(job.load);
        });
        QVERIFY(
            hub.AddDatabase(connectTo(sqlite, explorer.prompt), QStringLiteral("Busy"), true, true, false));
        QTRY_COMPARE(explorer.gate.waiting(), 1);

        hub.AddChosenDatabase(connectTo(sqlite, explorer.prompt), QStringLiteral("Queued"), true, false);
        QCOMPARE(explorer.prompt.messages.last(), ExplorerHub::kMaximumThreadsMessage);
        QVERIFY(explorer.logLines().contains(
            ExplorerHub::kMaximumThreadsMessage.section(QLatin1Char('\n'), 0, 0)));
        QCOMPARE(hub.Jobs().QueuedCount(), 1);

        // The one slot is taken: Refresh DB runs on this thread and is done when it returns.
        const DatabaseEntryPtr other = hub.Databases().FindEntryByAlias(QStringLiteral("Other"));
        QVERIFY(explorer.port->SelectNode(other->node));
        hub.RefreshDb();
        QVERIFY(explorer.logLines().contains(QStringLiteral(
            "Database Other is being refreshed in the foreground, to avoid this in the future you "
            "should increase the maximum number of threads in the Object Lookup settings.")));
        QVERIFY(hub.Tree().HasChildren(other->node));
        QCOMPARE(other->inUse->load(), 0);
        QVERIFY(explorer.port->rowTexts().contains(QStringLiteral("customers")));

        explorer.gate.open();
        QTRY_VERIFY_WITH_TIMEOUT(explorer.idle(), 30000);
        QVERIFY(hub.Tree().HasChildren(hub.Databases().FindEntryByAlias(QStringLiteral("Queued"))->node));
    }

    void removingALoadingDatabaseLeavesTheWorkerItsData()
    {
        const TestDataSource& sqlite = testDataSource(QStringLiteral("sqlite"));
        VELKARO_REQUIRE_DATA_SOURCE(sqlite);
        Explorer explorer(intSetting("ObjLook", "MaxM", 1));
        ExplorerHub& hub = *explorer.hub;
        hub.InsertRoot();
        explorer.gateLoads();
        QVERIFY(hub.AddDatabase(connectTo(sqlite, explorer.prompt), QStringLiteral("Loading"), true, false,
                                false));
        QTRY_COMPARE(explorer.gate.waiting(), 1);
        DatabaseEntryPtr entry = hub.Databases().FindEntryByAlias(QStringLiteral("Loading"));
        const std::shared_ptr<std::atomic<int>> inUse = entry->inUse;
        const std::weak_ptr<CDbSession> session = entry->session;
        const NodeId node = entry->node;
        entry.reset();
        QCOMPARE(explorer.port->selected, node);

        explorer.prompt.yesNoAnswers = {false};
        hub.RemoveDatabase(QStringLiteral("Loading"));
        QVERIFY(hub.Databases().FindEntryByAlias(QStringLiteral("Loading")));
        explorer.prompt.yesNoAnswers = {true};
        hub.RemoveDatabase(QStringLiteral("Loading"));
        QCOMPARE(explorer.prompt.questions.last(),
                 QStringLiteral("Velkaro is still retriving information for this database.\n"
                                "Are you sure you want to remove it?"));
        QVERIFY(hub.Databases().empty());
        QVERIFY(!hub.Tree().Exists(node));
        QCOMPARE(explorer.port->selected, hub.Tree().Root());
        QVERIFY(!session.expired());

        hub.RemoveDatabase(QStringLiteral("Loading"));
        QCOMPARE(explorer.prompt.messages.last(), QStringLiteral("Could not delete database: Loading"));

        // The removed database's worker still holds the one slot, and Stop still waits for it.
        QVERIFY(hub.CanStop());
        QVERIFY(
            !hub.AddDatabase(connectTo(sqlite, explorer.prompt), QStringLiteral("Next"), true, true, false));

        // The worker finishes its load on the session it still holds; the removed node takes nothing.
        explorer.gate.open();
        QTRY_COMPARE_WITH_TIMEOUT(inUse->load(), 0, 30000);
        QTRY_VERIFY_WITH_TIMEOUT(explorer.idle(), 30000);
        QTRY_VERIFY(session.expired());
        QCOMPARE(hub.Tree().Children(hub.Tree().Root()).size(), std::size_t(1));
        QVERIFY(explorer.logLines().contains(QStringLiteral("Loading: Removing database.")));
    }

    void onAccessLoadsADatabaseWhenFirstSelected()
    {
        const TestDataSource& sqlite = testDataSource(QStringLiteral("sqlite"));
        VELKARO_REQUIRE_DATA_SOURCE(sqlite);
        Explorer explorer(intSetting("ObjLook", "RAOBJ", 1));
        ExplorerHub& hub = *explorer.hub;
        hub.InsertRoot();
        QVERIFY(
            hub.AddDatabase(connectTo(sqlite, explorer.prompt), QStringLiteral("Shop"), true, false, false));
        const DatabaseEntryPtr entry = hub.Databases().Entries().front();
        QVERIFY(hub.Jobs().Jobs().empty());
        QCOMPARE(explorer.port->selected, hub.Tree().Root());
        QCOMPARE(explorer.port->rowTexts(), QStringList{QStringLiteral("Shop")});

        // Refresh All leaves a database nobody opened alone.
        hub.RefreshAll();
        QVERIFY(hub.Jobs().Jobs().empty());

        QVERIFY(explorer.port->SelectNode(entry->node));
        QCOMPARE(hub.Jobs().Jobs().size(), std::size_t(1));
        QTRY_VERIFY_WITH_TIMEOUT(explorer.idle(), 30000);
        QVERIFY(hub.Tree().HasChildren(entry->node));
        QTRY_VERIFY(explorer.port->rowTexts().contains(QStringLiteral("customers")));
        QCOMPARE(explorer.port->rows.size(), entry->session->Objects().size());
    }

    void onAccessLoadsAnObjectsColumnsOnce()
    {
        const TestDataSource& sqlite = testDataSource(QStringLiteral("sqlite"));
        VELKARO_REQUIRE_DATA_SOURCE(sqlite);
        Explorer explorer(intSetting("ObjLook", "RACOL", 1));
        ExplorerHub& hub = *explorer.hub;
        hub.InsertRoot();
        QVERIFY(
            hub.AddDatabase(connectTo(sqlite, explorer.prompt), QStringLiteral("Shop"), true, false, false));
        // The add's own selection of the new node starts no second load.
        QCOMPARE(hub.Jobs().Jobs().size(), std::size_t(1));
        QTRY_VERIFY_WITH_TIMEOUT(explorer.idle(), 30000);
        const DatabaseEntryPtr entry = hub.Databases().Entries().front();
        const NodeId customers = hub.Tree().FindChildByText(entry->node, QStringLiteral("customers"));
        QVERIFY(customers);
        QVERIFY(!hub.Tree().HasChildren(customers));

        QVERIFY(explorer.port->SelectNode(customers));
        QCOMPARE(hub.Jobs().Jobs().size(), std::size_t(2));
        QTRY_VERIFY_WITH_TIMEOUT(explorer.idle(), 30000);
        QTRY_VERIFY(explorer.port->rowsWithImage(3) > 0);
        QVERIFY(explorer.logLines().contains(QStringLiteral("Shop: customers: Refreshing object.")));
        // Index rows come before column rows.
        const auto firstColumn = std::find_if(explorer.port->rows.begin(), explorer.port->rows.end(),
                                              [](const ListRow& row) { return row.image == 3; });
        QVERIFY(std::none_of(firstColumn, explorer.port->rows.end(),
                             [](const ListRow& row) { return row.image == 4; }));

        QVERIFY(explorer.port->SelectNode(entry->node));
        QVERIFY(explorer.port->SelectNode(customers));
        QCOMPARE(hub.Jobs().Jobs().size(), std::size_t(2));
    }

    void navigationAndLocations()
    {
        const TestDataSource& sqlite = testDataSource(QStringLiteral("sqlite"));
        VELKARO_REQUIRE_DATA_SOURCE(sqlite);
        Explorer explorer;
        ExplorerHub& hub = *explorer.hub;
        HubTestPort& port = *explorer.port;
        hub.InsertRoot();
        QVERIFY(
            hub.AddDatabase(connectTo(sqlite, explorer.prompt), QStringLiteral("Sales"), true, true, false));
        QTRY_VERIFY_WITH_TIMEOUT(explorer.idle(), 30000);
        const NodeId root = hub.Tree().Root();
        const NodeId sales = hub.Databases().Entries().front()->node;
        const NodeId customers = hub.Tree().FindChildByText(sales, QStringLiteral("customers"));
        const NodeId orders = hub.Tree().FindChildByText(sales, QStringLiteral("orders"));
        QVERIFY(customers && orders);

        QVERIFY(port.SelectNode(sales));
        QVERIFY(port.SelectNode(customers));
        QCOMPARE(port.locations.first(), QStringLiteral("Sales::customers"));
        QVERIFY(!hub.CanForward());
        hub.Back();
        QCOMPARE(port.selected, sales);
        hub.Back();
        QCOMPARE(port.selected, root);
        QVERIFY(!hub.CanBack());
        hub.Forward();
        QCOMPARE(port.selected, sales);
        // A new visit keeps the forward list.
        QVERIFY(port.SelectNode(orders));
        hub.Forward();
        QCOMPARE(port.selected, customers);
        hub.Up();
        QCOMPARE(port.selected, sales);
        hub.Up();
        QCOMPARE(port.selected, root);
        QVERIFY(!hub.CanUp());

        hub.GoToLocation(QStringLiteral("Sales::customers"));
        QCOMPARE(port.selected, customers);
        hub.GoToLocation(QStringLiteral("Velkaro"));
        QCOMPARE(port.selected, root);
        hub.GoToLocation(QStringLiteral("sales::customers"));
        QCOMPARE(explorer.prompt.messages.last(),
                 QStringLiteral("Cannot find starting place, starting from root."));
        QCOMPARE(port.selected, root);
        hub.GoToLocation(QStringLiteral("Sales::no_such_table"));
        QCOMPARE(explorer.prompt.messages.last(),
                 QStringLiteral("Cannot find object in database, Please refresh this database."));
        // Both are failures: they carry the error icon.
        QCOMPARE(
            explorer.prompt.errors,
            (QStringList{QStringLiteral("Cannot find starting place, starting from root."),
                         QStringLiteral("Cannot find object in database, Please refresh this database.")}));
        QCOMPARE(port.selected, sales);

        // A refresh replaces the object nodes: Back and Forward never land on one it deleted.
        QVERIFY(port.SelectNode(customers));
        hub.RefreshDb();
        QCOMPARE(port.selected, sales);
        QTRY_VERIFY_WITH_TIMEOUT(explorer.idle(), 30000);
        QVERIFY(!hub.Tree().Exists(customers));
        while (hub.CanBack()) {
            hub.Back();
            QVERIFY(hub.Tree().Exists(port.selected));
        }
        while (hub.CanForward()) {
            hub.Forward();
            QVERIFY(hub.Tree().Exists(port.selected));
        }
        hub.GoToLocation(QStringLiteral("Sales::customers"));
        QVERIFY(port.selected != customers);
        QCOMPARE(hub.Tree().NodeText(port.selected), QStringLiteral("customers"));
    }

    void sameNamedObjectsInTwoSchemasKeepTheirOwnDetails()
    {
        const TestDataSource& postgres = testDataSource(QStringLiteral("postgres"));
        VELKARO_REQUIRE_DATA_SOURCE(postgres);
        Explorer explorer;
        ExplorerHub& hub = *explorer.hub;
        HubTestPort& port = *explorer.port;
        hub.InsertRoot();
        QVERIFY(hub.AddDatabase(connectTo(postgres, explorer.prompt), QStringLiteral("Shop"), false, true,
                                false));
        QTRY_VERIFY_WITH_TIMEOUT(explorer.idle(), 30000);
        const NodeId shop = hub.Databases().Entries().front()->node;
        const NodeId archived = hub.Tree().FindChildByText(shop, QStringLiteral("archive.customers"));
        const NodeId current = hub.Tree().FindChildByText(shop, QStringLiteral("public.customers"));
        QVERIFY(archived && current);
        QVERIFY(hub.Tree().FindChildByText(shop, QStringLiteral("orders"))); // a name of its own stays bare

        // The database's list names them as the tree does, so opening a row finds its own node.
        QVERIFY(port.SelectNode(shop));
        QVERIFY(port.rowTexts().contains(QStringLiteral("public.customers")));
        QVERIFY(hub.SelectChildByText(QStringLiteral("archive.customers")));
        QCOMPARE(port.selected, archived);
        QCOMPARE(port.locations.first(), QStringLiteral("Shop::archive.customers"));
        QVERIFY(port.rowTexts().contains(QStringLiteral("archive_customer_id")));
        QVERIFY(!port.rowTexts().contains(QStringLiteral("email")));

        // Both tables have an index called customers_pkey: each node lists its own table's.
        const std::vector<NodeId> archivedIndexes = hub.Tree().Children(archived);
        QCOMPARE(archivedIndexes.size(), std::size_t(1));
        QVERIFY(port.SelectNode(archivedIndexes.front()));
        QCOMPARE(port.rowTexts(), QStringList{QStringLiteral("archive_customer_id")});
        QCOMPARE(port.locations.first(),
                 QStringLiteral("Shop::archive.customers::") + hub.Tree().NodeText(archivedIndexes.front()));
        const NodeId currentKey =
            hub.Tree().FindChildByText(current, hub.Tree().NodeText(archivedIndexes.front()));
        QVERIFY(port.SelectNode(currentKey));
        QCOMPARE(port.rowTexts(), QStringList{QStringLiteral("customer_id")});

        hub.GoToLocation(QStringLiteral("Shop::archive.customers"));
        QCOMPARE(port.selected, archived);
        hub.GoToLocation(QStringLiteral("Shop::public.customers"));
        QCOMPARE(port.selected, current);

        // Refreshing one of them reloads that one's details only.
        QVERIFY(port.SelectNode(archived));
        hub.RefreshFromHere();
        QTRY_VERIFY_WITH_TIMEOUT(explorer.idle(), 30000);
        QTRY_VERIFY(hub.Tree().HasChildren(archived));
        QVERIFY(port.rowTexts().contains(QStringLiteral("archive_customer_id")));
        QVERIFY(!port.rowTexts().contains(QStringLiteral("email")));
        QVERIFY(!explorer.logLines().contains(QStringLiteral("Could not refresh object customers.")));
        QVERIFY2(explorer.prompt.messages.isEmpty(), qPrintable(explorer.prompt.messages.join('|')));
    }

    void aRemovedDatabaseDisconnectsAfterARefusedRefresh()
    {
        const TestDataSource& postgres = testDataSource(QStringLiteral("postgres"));
        VELKARO_REQUIRE_DATA_SOURCE(postgres);
        Explorer explorer;
        ExplorerHub& hub = *explorer.hub;
        hub.InsertRoot();
        auto session = connectTo(postgres, explorer.prompt);
        auto watcher = connectTo(postgres, explorer.prompt);
        QVERIFY(session && watcher);
        const int backend = queryInt(session->Hdbc(), QStringLiteral("SELECT pg_backend_pid()"));
        const QString alive =
            QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE pid = %1").arg(backend);
        QCOMPARE(queryInt(watcher->Hdbc(), alive), 1);

        // The load holds the database once its objects are in the tree.
        hub.SetDatabaseLoad([&explorer](ExplorerJob& job) {
            job.entry->session->LoadObjects(job.load);
            explorer.gate.wait();
        });
        QVERIFY(hub.AddDatabase(std::move(session), QStringLiteral("Shop"), false, true, false));
        QTRY_COMPARE_WITH_TIMEOUT(explorer.gate.waiting(), 1, 30000);
        DatabaseEntryPtr entry = hub.Databases().FindEntryByAlias(QStringLiteral("Shop"));
        const std::weak_ptr<CDbSession> removed = entry->session;
        // archive.customers shares the name: the tree writes both with their schema.
        const NodeId customers = hub.Tree().FindChildByText(entry->node, QStringLiteral("public.customers"));
        entry.reset();
        QVERIFY(customers);
        hub.RefreshObject(customers, true);
        QVERIFY(explorer.logLines().contains(QStringLiteral(
            "Could not refresh table customers, the database Shop is in use by another thread.")));
        explorer.gate.open();
        QTRY_VERIFY_WITH_TIMEOUT(explorer.idle(), 30000);

        hub.RemoveDatabase(QStringLiteral("Shop"));
        QVERIFY(removed.expired());
        QTRY_COMPARE_WITH_TIMEOUT(queryInt(watcher->Hdbc(), alive), 0, 1000);
        QVERIFY(!hub.Jobs().Jobs().empty());
    }

    void aLoadCutShortByALostConnectionFails()
    {
        const TestDataSource& postgres = testDataSource(QStringLiteral("postgres"));
        VELKARO_REQUIRE_DATA_SOURCE(postgres);
        Explorer explorer;
        ExplorerHub& hub = *explorer.hub;
        hub.InsertRoot();
        auto session = connectTo(postgres, explorer.prompt);
        auto killer = connectTo(postgres, explorer.prompt);
        QVERIFY(session && killer);
        const int backend = queryInt(session->Hdbc(), QStringLiteral("SELECT pg_backend_pid()"));

        // The server ends the connection part way: one pass of the load is in the tree, the next
        // one fails.
        hub.SetDatabaseLoad([killer, backend](ExplorerJob& job) {
            job.entry->session->LoadObjects(job.load);
            queryInt(killer->Hdbc(),
                     QStringLiteral("SELECT pg_terminate_backend(%1, 10000)::int").arg(backend));
            job.entry->session->LoadObjects(job.load);
        });
        QVERIFY(hub.AddDatabase(std::move(session), QStringLiteral("Lost"), false, false, false));
        QTRY_VERIFY_WITH_TIMEOUT(explorer.idle(), 30000);

        const DatabaseEntryPtr entry = hub.Databases().FindEntryByAlias(QStringLiteral("Lost"));
        const QString failed = DatabaseWorkers::LoadFailedMessage(QStringLiteral("Lost"));
        const QStringList lines = explorer.logLines();
        QVERIFY(lines.contains(failed));
        QVERIFY(!lines.contains(QStringLiteral("Lost: Database information loaded.")));
        QVERIFY(!hub.Tree().HasChildren(entry->node));
        QTRY_VERIFY(explorer.prompt.messages.contains(failed));
        QTRY_VERIFY(explorer.port->rows.empty());
    }

    void anObjectRefreshOnALostConnectionFails()
    {
        const TestDataSource& postgres = testDataSource(QStringLiteral("postgres"));
        VELKARO_REQUIRE_DATA_SOURCE(postgres);
        Explorer explorer;
        ExplorerHub& hub = *explorer.hub;
        hub.InsertRoot();
        auto session = connectTo(postgres, explorer.prompt);
        auto killer = connectTo(postgres, explorer.prompt);
        QVERIFY(session && killer);
        const int backend = queryInt(session->Hdbc(), QStringLiteral("SELECT pg_backend_pid()"));
        QVERIFY(hub.AddDatabase(std::move(session), QStringLiteral("Lost"), false, true, false));
        QTRY_VERIFY_WITH_TIMEOUT(explorer.idle(), 30000);
        const DatabaseEntryPtr entry = hub.Databases().FindEntryByAlias(QStringLiteral("Lost"));
        const NodeId customers = hub.Tree().FindChildByText(entry->node, QStringLiteral("public.customers"));
        QVERIFY(customers);

        queryInt(killer->Hdbc(), QStringLiteral("SELECT pg_terminate_backend(%1, 10000)::int").arg(backend));
        hub.RefreshObject(customers, true);
        QTRY_VERIFY_WITH_TIMEOUT(explorer.idle(), 30000);

        const QString failed = DatabaseWorkers::LoadFailedMessage(QStringLiteral("Lost"));
        QVERIFY(explorer.logLines().contains(failed));
        QVERIFY(!hub.Tree().HasChildren(customers));
        QTRY_VERIFY(explorer.prompt.messages.contains(failed));
    }

    // The status bar hears how far a load has come, and that it ended.
    void loadProgressIsPostedToTheInterface()
    {
        QCOMPARE(LoadProgress::LoadingText(QStringLiteral("Shop"), 1200),
                 QStringLiteral("Shop: loading objects\u2026 1,200"));
        const TestDataSource& sqlite = testDataSource(QStringLiteral("sqlite"));
        VELKARO_REQUIRE_DATA_SOURCE(sqlite);
        Explorer explorer;
        ExplorerHub& hub = *explorer.hub;
        hub.InsertRoot();
        QStringList shown;
        connect(&hub, &ExplorerHub::LoadStatusChanged, this,
                [&shown](const QString& text) { shown << text; });
        explorer.gateLoads();
        QVERIFY(
            hub.AddDatabase(connectTo(sqlite, explorer.prompt), QStringLiteral("Shop"), false, true, false));
        QTRY_VERIFY(shown.contains(QStringLiteral("Shop: loading objects\u2026 0")));
        explorer.gate.open();
        QTRY_VERIFY_WITH_TIMEOUT(explorer.idle(), 30000);
        QTRY_COMPARE(shown.last(), QString());
    }

    // A load cut short by Stop is not shown as the whole catalog: the log says so and the
    // database's node is emptied, to load again when next selected.
    void aLoadCutShortByStopIsMarkedIncomplete()
    {
        const TestDataSource& sqlite = testDataSource(QStringLiteral("sqlite"));
        VELKARO_REQUIRE_DATA_SOURCE(sqlite);
        Explorer explorer;
        ExplorerHub& hub = *explorer.hub;
        const DatabaseEntryPtr shop = loadedShop(explorer, sqlite);
        QVERIFY(shop);
        // Part of the catalog is in, then the worker waits for the stop request.
        hub.SetDatabaseLoad([&hub](ExplorerJob& job) {
            job.entry->session->LoadObjects(job.load);
            while (!hub.TerminateRequested())
                QThread::msleep(5);
        });
        hub.RefreshAll();
        QTRY_VERIFY(hub.Tree().HasChildren(shop->node));
        hub.StopWorkers();
        QVERIFY(explorer.idle());

        const QStringList lines = explorer.logLines();
        QCOMPARE(countOf(lines, DatabaseWorkers::LoadStoppedMessage(QStringLiteral("Shop"))), 1);
        QCOMPARE(countOf(lines, QStringLiteral("Shop: Database information loaded.")),
                 1); // the first load only
        QVERIFY(!hub.Tree().HasChildren(shop->node));
        QVERIFY(explorer.prompt.messages.isEmpty());
    }

    // The same for one object's refresh: its columns are in, then the worker waits for the stop.
    void anObjectRefreshCutShortByStopIsMarkedIncomplete()
    {
        const TestDataSource& sqlite = testDataSource(QStringLiteral("sqlite"));
        VELKARO_REQUIRE_DATA_SOURCE(sqlite);
        Explorer explorer;
        ExplorerHub& hub = *explorer.hub;
        const DatabaseEntryPtr shop = loadedShop(explorer, sqlite);
        QVERIFY(shop);
        const NodeId customers = hub.Tree().FindChildByText(shop->node, QStringLiteral("customers"));
        QVERIFY(customers);
        std::atomic<bool> columnsIn{false};
        hub.Workers().SetObjectLoad([&](ExplorerJob& job, ObjectRecord& object) {
            job.entry->session->LoadColumns(job.load, job.load.objectNode, object);
            columnsIn.store(true);
            while (!hub.TerminateRequested())
                QThread::msleep(5);
        });
        hub.RefreshObject(customers, true);
        QTRY_VERIFY(columnsIn.load());
        hub.StopWorkers();
        QVERIFY(explorer.idle());

        QCOMPARE(countOf(explorer.logLines(), DatabaseWorkers::LoadStoppedMessage(QStringLiteral("Shop"))),
                 1);
        QVERIFY(!hub.Tree().HasChildren(customers));
        const std::shared_ptr<ObjectRecord> record =
            ObjectNodes::ObjectOf(hub.Tree(), shop->session->Objects(), customers);
        QVERIFY(record);
        QVERIFY(record->Columns()->columns.empty()); // loaded anew when next selected
        QVERIFY(explorer.prompt.messages.isEmpty());
    }

    void propertyQueriesDeliverAndShutdownWaitsForThem()
    {
        Explorer explorer;
        ExplorerHub& hub = *explorer.hub;
        std::atomic<bool> release{false};
        std::atomic<bool> finished{false};
        int delivered = 0;
        const auto query = [&]() -> std::function<void()> {
            while (!release.load())
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            finished.store(true);
            return [&delivered] { ++delivered; };
        };
        QVERIFY(hub.Workers().StartPropertyWork(query));
        QVERIFY(hub.Workers().PropertyWorkRunning());
        release.store(true);
        QTRY_COMPARE(delivered, 1); // on the interface thread
        QTRY_VERIFY(!hub.Workers().PropertyWorkRunning());

        // A query still running at shutdown is waited for, as a database worker is.
        release.store(false);
        finished.store(false);
        QVERIFY(hub.Workers().StartPropertyWork(query));
        QTimer::singleShot(300, [&release] { release.store(true); });
        hub.Shutdown();
        QVERIFY(finished.load());
    }

    void stopAndShutdownWithAStuckWorker()
    {
        const TestDataSource& postgres = testDataSource(QStringLiteral("postgres"));
        VELKARO_REQUIRE_DATA_SOURCE(postgres);
        // A superuser connection over the server's socket holds the catalog locked, so the
        // worker's first catalog call blocks inside the driver and never sees a stop request.
        const QString superuser = postgresSuperuserConnectString();
        QVERIFY(!superuser.isEmpty());
        CDbSession locker(SessionVariant::Search);
        RecordingPrompt lockPrompt;
        locker.ConnectByString(superuser, lockPrompt);
        if (locker.ConnectFailed())
            QSKIP("no superuser connection over the socket");

        Explorer explorer(intSetting("Log", "LANY", 1));
        ExplorerHub& hub = *explorer.hub;
        hub.InsertRoot();
        auto session = connectTo(postgres, explorer.prompt);
        QVERIFY(session);

        QVERIFY(SQL_SUCCEEDED(SQLSetConnectAttr(locker.Hdbc(), SQL_ATTR_AUTOCOMMIT,
                                                reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0)));
        SQLHSTMT statement = SQL_NULL_HSTMT;
        QCOMPARE(locker.ExecuteQuery(
                     statement, QStringLiteral("LOCK TABLE pg_catalog.pg_class IN ACCESS EXCLUSIVE MODE")),
                 QString());
        locker.CloseQuery(statement);
        auto unlock = qScopeGuard([&] { SQLEndTran(SQL_HANDLE_DBC, locker.Hdbc(), SQL_ROLLBACK); });

        QVERIFY(hub.AddDatabase(session, QStringLiteral("Stuck"), true, true, false));
        const std::shared_ptr<std::atomic<int>> inUse = hub.Databases().Entries().front()->inUse;
        QVERIFY(hub.CanStop());

        QElapsedTimer clock;
        clock.start();
        hub.StopWorkers();
        QVERIFY(clock.elapsed() >= 9000);
        QCOMPARE(explorer.prompt.messages.last(),
                 QStringLiteral("Warning: Not all working threads could be stopped."));
        QCOMPARE(inUse->load(), 1);
        QVERIFY(!hub.TerminateRequested());

        hub.Shutdown();
        QCOMPARE(explorer.port->countdown, (QList<int>{9, 8, 7, 6, 5, 4, 3, 2, 1, 0}));
        QVERIFY(!explorer.port->waitShown);
        // The tree pane goes away while the worker is still blocked; it ends later on data it holds.
        explorer.port.reset();
        explorer.hub.reset();
        session.reset();
        unlock.dismiss();
        QVERIFY(SQL_SUCCEEDED(SQLEndTran(SQL_HANDLE_DBC, locker.Hdbc(), SQL_ROLLBACK)));
        QTRY_COMPARE_WITH_TIMEOUT(inUse->load(), 0, 30000);

        const QStringList lines = explorer.logLines();
        const int stop =
            static_cast<int>(lines.indexOf(QStringLiteral("Requesting termination of working threads...")));
        QVERIFY(stop >= 0);
        QCOMPARE(lines.at(stop + 1), QStringLiteral("Working threads not responding."));
        const int end = static_cast<int>(lines.indexOf(QStringLiteral("Terminating working threads.")));
        QVERIFY(end > stop);
        QCOMPARE(
            lines.mid(end, 4),
            (QStringList{QStringLiteral("Terminating working threads."),
                         QStringLiteral("Working threads not responding, quitting anyway."),
                         QStringLiteral("Releasing used memory."), QStringLiteral("Velkaro terminated.")}));
        QCOMPARE(countOf(lines, QStringLiteral("Velkaro terminated.")), 1);
    }
};

QTEST_GUILESS_MAIN(ExplorerHubTest)
#include "ExplorerHubTest.moc"

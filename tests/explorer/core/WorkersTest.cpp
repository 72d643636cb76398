#include "explorer/core/JobQueue.h"
#include "explorer/core/WorkerThreads.h"
#include "explorer/core/WorkerWait.h"

#include <QScopeGuard>
#include <QTest>
#include <atomic>
#include <system_error>
#include <thread>

using namespace velkaro;

namespace {
DatabaseEntryPtr entry(const QString& alias)
{
    auto created = std::make_shared<DatabaseEntry>();
    created->alias = alias;
    return created;
}

JobQueue::JobPtr jobFor(const DatabaseEntryPtr& database)
{
    auto job = std::make_shared<ExplorerJob>();
    job->entry = database;
    job->load.alias = database->alias;
    job->load.inUse = database->inUse;
    return job;
}

// Drain hooks over a slot count that started jobs take and the test gives back.
struct WorkerSlots
{
    int busy = 0;
    int maximum = 2;
    QStringList started;
    QStringList log;

    void attach(JobQueue& queue)
    {
        queue.SetDrainHooks([this] { return busy; }, [this] { return maximum; },
                            [this](JobQueue::JobPtr job) {
                                started << job->entry->alias;
                                ++busy;
                            },
                            [this](const QString& line) { log << line; });
    }
};

// A pause that only counts, so the waits take no real time.
struct Pauses
{
    QList<int> taken;
    std::function<void(int)> hook()
    {
        return [this](int ms) { taken << ms; };
    }
};

// Busy for the first busyChecks calls, idle after.
std::function<bool()> busyFor(int busyChecks, int& calls)
{
    return [busyChecks, &calls] { return calls++ < busyChecks; };
}
} // namespace

class WorkersTest : public QObject
{
    Q_OBJECT

private slots:
    void duplicateEntriesAreSkipped()
    {
        JobQueue queue;
        WorkerSlots workers;
        workers.attach(queue);
        const DatabaseEntryPtr sales = entry(QStringLiteral("Sales"));
        const DatabaseEntryPtr billing = entry(QStringLiteral("Billing"));

        QVERIFY(queue.EnqueueJob(jobFor(sales)));
        QVERIFY(!queue.EnqueueJob(jobFor(sales)));
        QVERIFY(queue.EnqueueJob(jobFor(billing)));
        QCOMPARE(workers.log, QStringList{"Skipping queue of database Sales, it is already queued."});
        QCOMPARE(queue.QueuedCount(), 2);
        QVERIFY(queue.IsQueued(*sales));

        // Once started, the entry may be queued again.
        queue.DrainQueue();
        QVERIFY(!queue.IsQueued(*sales));
        QVERIFY(queue.EnqueueJob(jobFor(sales)));
    }

    void drainStartsInOrderUpToTheMaximum()
    {
        JobQueue queue;
        WorkerSlots workers;
        workers.attach(queue);
        QVERIFY(!queue.DrainTimerActive());
        for (const char* alias : {"A", "B", "C", "D", "E"})
            QVERIFY(queue.EnqueueJob(jobFor(entry(QString::fromLatin1(alias)))));
        QVERIFY(queue.DrainTimerActive());

        queue.DrainQueue();
        QCOMPARE(workers.started, QStringList({"A", "B"}));
        QVERIFY(queue.DrainTimerActive());
        queue.DrainQueue(); // every slot still busy
        QCOMPARE(workers.started.size(), 2);

        workers.busy = 1; // one worker ended
        queue.DrainQueue();
        QCOMPARE(workers.started, QStringList({"A", "B", "C"}));

        workers.busy = 0;
        workers.maximum = 5;
        queue.DrainQueue();
        QCOMPARE(workers.started, QStringList({"A", "B", "C", "D", "E"}));
        QCOMPARE(queue.QueuedCount(), 0);
        QVERIFY(!queue.DrainTimerActive()); // stops with the last job
    }

    void timerDrainsTheQueueOnItsOwn()
    {
        JobQueue queue;
        WorkerSlots workers;
        workers.maximum = 1;
        workers.attach(queue);
        queue.EnqueueJob(jobFor(entry(QStringLiteral("A"))));
        queue.EnqueueJob(jobFor(entry(QStringLiteral("B"))));
        QTRY_COMPARE(workers.started, QStringList{"A"});
        workers.busy = 0;
        QTRY_COMPARE(workers.started, QStringList({"A", "B"}));
        QTRY_VERIFY(!queue.DrainTimerActive());
    }

    void jobListAndShutdownRelease()
    {
        JobQueue queue;
        WorkerSlots workers;
        workers.maximum = 0;
        workers.attach(queue);
        const DatabaseEntryPtr sales = entry(QStringLiteral("Sales"));
        const auto first = jobFor(sales);
        const auto second = jobFor(sales);
        queue.AddJob(first);
        queue.AddJob(second);
        QCOMPARE(queue.Jobs().front(), second); // newest first
        queue.EnqueueJob(second);

        queue.ReleaseAll();
        QVERIFY(queue.Jobs().empty());
        QCOMPARE(queue.QueuedCount(), 0);
        QVERIFY(!queue.DrainTimerActive());
        QCOMPARE(first.use_count(), 1L); // only the test holds them now
    }

    void threadsAreCountedUntilTheyReturn()
    {
        WorkerThreads threads;
        // Shared with the detached threads, and set on every way out so none spins on.
        const auto release = std::make_shared<std::atomic<bool>>(false);
        const auto ran = std::make_shared<std::atomic<int>>(0);
        const auto releaseOnExit = qScopeGuard([release] { release->store(true); });
        for (int i = 0; i < 4; ++i) {
            QVERIFY(threads.Start([release, ran] {
                while (!release->load())
                    std::this_thread::yield();
                ran->fetch_add(1);
            }));
        }
        QCOMPARE(threads.LiveCount(), 4);
        release->store(true);
        QTRY_COMPARE(threads.LiveCount(), 0);
        QCOMPARE(ran->load(), 4);
    }

    void threadOutlivesItsStarter()
    {
        const auto release = std::make_shared<std::atomic<bool>>(false);
        const auto releaseOnExit = qScopeGuard([release] { release->store(true); });
        auto token = std::make_shared<int>(0);
        std::weak_ptr<int> watch = token;
        {
            WorkerThreads threads;
            QVERIFY(threads.Start([release, token] {
                while (!release->load())
                    std::this_thread::yield();
            }));
        }
        token.reset();
        release->store(true);
        // The body (and its count) are released only after the count was decremented.
        QTRY_VERIFY(watch.expired());
    }

    void failedThreadCreationIsReported()
    {
        WorkerThreads threads([](std::function<void()>) {
            throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
        });
        bool ran = false;
        QVERIFY(!threads.Start([&] { ran = true; }));
        QCOMPARE(threads.LiveCount(), 0);
        QVERIFY(!ran);
    }

    void stopWait_data()
    {
        QTest::addColumn<int>("busyChecks");
        QTest::addColumn<bool>("stopped");
        QTest::addColumn<int>("pauses");
        QTest::newRow("nothing in use returns at once") << 0 << true << 0;
        QTest::newRow("stops after three passes") << 3 << true << 3;
        QTest::newRow("stops in the fiftieth pass") << 50 << true << 50;
        QTest::newRow("still busy after fifty passes") << 51 << false << 50;
        QTest::newRow("worker ignoring the flag") << 1000 << false << 50;
    }
    void stopWait()
    {
        QFETCH(int, busyChecks);
        int calls = 0;
        Pauses pauses;
        QTEST(WorkerWait::WaitForStop(busyFor(busyChecks, calls), pauses.hook()), "stopped");
        QTEST(int(pauses.taken.size()), "pauses");
        QVERIFY(pauses.taken.count(200) == pauses.taken.size());
    }

    void shutdownWait_data()
    {
        QTest::addColumn<int>("busyChecks");
        QTest::addColumn<bool>("stopped");
        QTest::addColumn<int>("pauses");
        QTest::addColumn<QList<int>>("shown");
        QTest::newRow("nothing in use: one pass") << 0 << true << 1 << QList<int>{};
        QTest::newRow("busy for ten passes") << 10 << true << 11 << QList<int>{9};
        QTest::newRow("idle at the start of the last pass")
            << 99 << true << 100 << QList<int>{9, 8, 7, 6, 5, 4, 3, 2, 1, 0};
        QTest::newRow("never stops: counts down to 0")
            << 1000 << false << 100 << QList<int>{9, 8, 7, 6, 5, 4, 3, 2, 1, 0};
    }
    void shutdownWait()
    {
        QFETCH(int, busyChecks);
        int calls = 0;
        Pauses pauses;
        QList<int> shown;
        QTEST(WorkerWait::WaitForShutdown(busyFor(busyChecks, calls), pauses.hook(),
                                          [&](int value) { shown << value; }),
              "stopped");
        QTEST(int(pauses.taken.size()), "pauses");
        QTEST(shown, "shown");
        QVERIFY(pauses.taken.count(90) == pauses.taken.size());
    }
};

QTEST_GUILESS_MAIN(WorkersTest)
#include "WorkersTest.moc"

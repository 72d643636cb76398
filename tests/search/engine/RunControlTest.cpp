#include "BlockedObject.h"
#include "RecordingPrompt.h"
#include "RecordingSearchHost.h"
#include "TestDataSources.h"
#include "catalog/CDbSession.h"
#include "search/engine/DirectReportWriter.h"
#include "search/engine/ReportDocument.h"
#include "search/engine/SearchRun.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <thread>

using namespace velkaro;

namespace {

const QString kColumnPhase = QStringLiteral("Searching Columns and Data Types - Zindrel");
const QString kDataPhase = QStringLiteral("Searching Data - Zindrel");
const QString kSkipped = QStringLiteral("\r\nObject Skipped ...\r\n\r\n");
const QString kStopped = QStringLiteral("\r\n\r\nZindrel Stopped ...");

// A run on its own thread, held by the host at one object of one phase so the test can act on
// it at a known point. The report goes to a file, read once the run has ended.
struct ThreadedRun
{
    test::RecordingPrompt prompt;
    CDbSession session{SessionVariant::Search};
    ReportDocument document{prompt};
    DirectReportWriter writer{document};
    test::RecordingSearchHost host;
    SearchParameters parameters;
    std::unique_ptr<SearchRun> run;

    bool start(const QString& reportFile, const QString& holdTitle, const QString& holdObject,
               const QString& connectString = test::testDataSource("sqlite").connectString,
               const QStringList& objects = {})
    {
        if (!session.ConnectByString(connectString, prompt))
            return false;
        // "Stammkunde" stands in many rows of customers, the needle in one row of group.
        parameters.AcceptSearchText(QStringLiteral("Stammkunde|needle-4711"));
        parameters.outputMode = OutputMode::CompleteToFile;
        parameters.reportFileName = reportFile;
        run = std::make_unique<SearchRun>(session, parameters, writer, host);
        run->SetObjectFilter(objects);
        host.holdAt(holdTitle, holdObject);
        run->Start();
        return holdObject.isEmpty() || host.waitUntilHeld();
    }

    QString finish()
    {
        run->Wait();
        QFile file(parameters.reportFileName);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
};

bool waitForEnd(const test::RecordingSearchHost& host, int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (host.runsEnded() == 0 && clock.elapsed() < milliseconds)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return host.runsEnded() != 0;
}

} // namespace

class RunControlTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        VELKARO_REQUIRE_DATA_SOURCE(test::testDataSource("sqlite"));
    }

    // The worker waits at its next check; Resume shows the title that Pause replaced.
    void pauseHoldsTheRunUntilResumed()
    {
        ThreadedRun threaded;
        QVERIFY(threaded.start(m_dir.filePath("pause.txt"), kDataPhase, "customers"));
        SearchRun& run = *threaded.run;

        run.Pause();
        QCOMPARE(threaded.host.lastTitle(), "Paused - Zindrel");
        const int instancesAtPause = threaded.writer.InstanceCount();
        threaded.host.release();
        std::this_thread::sleep_for(std::chrono::milliseconds(350));
        QVERIFY(run.IsRunning());
        QVERIFY(run.IsPaused());
        QVERIFY(run.InDataPhase());
        QCOMPARE(threaded.writer.InstanceCount(), instancesAtPause);

        run.Resume();
        QCOMPARE(threaded.host.lastTitle(), kDataPhase);
        const QString report = threaded.finish();
        QVERIFY(!run.IsRunning());
        QVERIFY(report.contains("\r\n\r\n\r\nInstances found in data from TABLE customers\r\n\r\n"));
        QVERIFY(report.contains("TOTAL NUMBER OF INSTANCES FOUND: "));
        QVERIFY(run.InstancesFound() > instancesAtPause);
        QCOMPARE(threaded.host.titles().mid(threaded.host.titles().size() - 2),
                 QStringList({"Finished - Zindrel", "Ready - Zindrel"}));
    }

    void stopEndsTheRunWithoutSummary_data()
    {
        QTest::addColumn<QString>("phase");
        QTest::addColumn<bool>("pauseFirst");
        QTest::newRow("paused in the column phase") << kColumnPhase << true;
        QTest::newRow("running in the data phase") << kDataPhase << false;
    }

    void stopEndsTheRunWithoutSummary()
    {
        QFETCH(QString, phase);
        QFETCH(bool, pauseFirst);
        ThreadedRun threaded;
        QVERIFY(threaded.start(m_dir.filePath("stop.txt"), phase, "customers"));
        SearchRun& run = *threaded.run;
        QElapsedTimer timer;
        if (pauseFirst) {
            run.Pause();
            threaded.host.release();
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
            timer.start();
            run.Stop();
        } else {
            timer.start();
            run.Stop();
            threaded.host.release();
        }
        const QString report = threaded.finish();
        QVERIFY(timer.elapsed() < 2000);

        QVERIFY2(report.endsWith(kStopped), qPrintable(report.right(200)));
        QVERIFY(!report.contains("TOTAL NUMBER OF INSTANCES FOUND"));
        QVERIFY(!report.contains("Instances found in data from"));
        QVERIFY(!run.IsRunning());
        QVERIFY(!run.IsPaused());
        QCOMPARE(threaded.host.messages(), QStringList{"Zindrel has been stopped."});
        QCOMPARE(threaded.host.titles().mid(threaded.host.titles().size() - 2),
                 QStringList({"Stopped - Zindrel", "Ready - Zindrel"}));
    }

    void skipLeavesOneObjectOfTheDataPhase_data()
    {
        QTest::addColumn<QString>("phase");
        QTest::addColumn<int>("skips");
        QTest::addColumn<bool>("customersSkipped");
        QTest::newRow("twice before the next row skips one object") << kDataPhase << 2 << true;
        QTest::newRow("a request from before the data phase is dropped") << kColumnPhase << 1 << false;
    }

    void skipLeavesOneObjectOfTheDataPhase()
    {
        QFETCH(QString, phase);
        QFETCH(int, skips);
        QFETCH(bool, customersSkipped);
        ThreadedRun threaded;
        QVERIFY(threaded.start(m_dir.filePath("skip.txt"), phase, "customers"));
        for (int i = 0; i < skips; ++i)
            threaded.run->Skip();
        threaded.host.release();
        const QString report = threaded.finish();

        QCOMPARE(report.count(kSkipped), customersSkipped ? 1 : 0);
        QCOMPARE(report.contains("Instances found in data from TABLE customers\r\n"), !customersSkipped);
        QVERIFY(report.contains("Instances found in data from TABLE group\r\n"));
        QVERIFY(report.contains("TOTAL NUMBER OF INSTANCES FOUND: "));
    }

    // Memory that runs out in the middle of the data phase: the report says so and the run ends
    // like a stop, its output file closed.
    void aFailureInTheWorkerEndsTheRunCleanly()
    {
        ThreadedRun threaded;
        threaded.host.failAt(kDataPhase, QStringLiteral("customers"));
        QVERIFY(threaded.start(m_dir.filePath("failure.txt"), QString(), QString()));
        const QString report = threaded.finish();

        // The list of what was read comes between the error and the end.
        QVERIFY2(report.contains(QStringLiteral("\r\n\r\nThe search ended after an error: std::bad_alloc")),
                 qPrintable(report.right(400)));
        QVERIFY2(report.endsWith(kStopped), qPrintable(report.right(200)));
        QVERIFY(!threaded.run->IsRunning());
        QCOMPARE(threaded.host.runsEnded(), 1);
        QCOMPARE(threaded.host.lastTitle(), "Ready - Zindrel");
    }

    // The driver is waiting on the server (a lock, a long first row): Stop and Skip cancel the
    // statement, so neither waits for it. The lock is held until the run has ended.
    void stopAndSkipCancelABlockedSelect_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<bool>("skip");
        QTest::addColumn<QString>("attributes"); // appended to the connect string
        for (const char* source : {"sqlite", "mariadb"}) {
            QTest::addRow("stop on %s", source) << QString::fromLatin1(source) << false << QString();
            QTest::addRow("skip on %s", source) << QString::fromLatin1(source) << true << QString();
        }
        // On PostgreSQL the data search reads through the cursor, or first through the filter's
        // probe on its second connection; each setting leaves it one way.
        const QString cursor = ";ConnSettings=SET max_parallel_workers_per_gather TO 0";
        const QString probe = ";ConnSettings=SET min_parallel_table_scan_size TO 0";
        QTest::addRow("stop the cursor on postgres") << "postgres" << false << cursor;
        QTest::addRow("skip the cursor on postgres") << "postgres" << true << cursor;
        QTest::addRow("stop the filter's probe on postgres") << "postgres" << false << probe;
        QTest::addRow("skip the filter's probe on postgres") << "postgres" << true << probe;
    }

    void stopAndSkipCancelABlockedSelect()
    {
        QFETCH(QString, source);
        QFETCH(bool, skip);
        QFETCH(QString, attributes);
        VELKARO_REQUIRE_DATA_SOURCE(test::testDataSource(source));
        QTemporaryDir folder;
        test::BlockedObject blocked;
        QVERIFY(blocked.lock(source, folder.path()));
        ThreadedRun threaded;
        threaded.parameters.searchData = true;
        QVERIFY(threaded.start(m_dir.filePath("blocked.txt"), kDataPhase, blocked.name(),
                               blocked.connectString() + attributes, blocked.objects()));
        threaded.host.release();
        QVERIFY(blocked.waitUntilWaiting());
        QVERIFY(threaded.run->IsRunning());
        if (skip)
            threaded.run->Skip();
        else
            threaded.run->Stop();
        const bool endedWhileBlocked = waitForEnd(threaded.host, 10000);
        blocked.release();
        const QString report = threaded.finish();
        QVERIFY(endedWhileBlocked);

        QVERIFY2(!report.contains("The following error was received"), qPrintable(report.right(400)));
        if (skip) {
            QCOMPARE(report.count(kSkipped), 1);
            QVERIFY2(report.contains("Instances found in data from TABLE "), qPrintable(report.right(400)));
            QVERIFY(report.contains("TOTAL NUMBER OF INSTANCES FOUND: "));
        } else {
            QVERIFY2(report.endsWith(kStopped), qPrintable(report.right(400)));
            QCOMPARE(threaded.host.messages(), QStringList{"Zindrel has been stopped."});
        }
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(RunControlTest)
#include "RunControlTest.moc"

#include "explorer/logsettings/ActivityLog.h"

#include "ActivityLogFile.h"
#include "RecordingPrompt.h"
#include "common/ProfileStore.h"
#include "explorer/logsettings/LogSettings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <thread>

using velkaro::ActivityLog;
using velkaro::LogSettings;
using velkaro::ProfileStore;
using velkaro::test::activityLogMessages;
using velkaro::test::activityLogStamp;
using velkaro::test::RecordingPrompt;

namespace {
QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}
} // namespace

class ActivityLogTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        m_settings = std::make_unique<LogSettings>();
        m_settings->fileName = path(QStringLiteral("Velkaro"));
        m_prompt = RecordingPrompt();
        m_log = std::make_unique<ActivityLog>(*m_settings, m_prompt);
    }

    void cleanup()
    {
        m_log.reset();
        QDir(m_dir.path()).removeRecursively();
        QDir().mkpath(m_dir.path());
    }

    void startUpOpenModes_data()
    {
        QTest::addColumn<int>("truncate");
        QTest::addColumn<int>("append");
        QTest::addColumn<bool>("earlierLog");
        QTest::addColumn<QStringList>("expected");
        const QString started = QStringLiteral("Velkaro started.");
        const QString next = QStringLiteral("next");
        QTest::newRow("truncate empties an earlier log") << 1 << 0 << true << QStringList{started, next};
        QTest::newRow("truncate wins over append") << 1 << 1 << true << QStringList{started, next};
        QTest::newRow("append keeps an earlier log")
            << 0 << 1 << true << QStringList{"earlier", started, next};
        QTest::newRow("append creates a missing log") << 0 << 1 << false << QStringList{started, next};
    }

    // The mode applies to the start entry only; the next entry is always appended.
    void startUpOpenModes()
    {
        QFETCH(int, truncate);
        QFETCH(int, append);
        QFETCH(bool, earlierLog);
        QFETCH(QStringList, expected);
        const QString file = path(QStringLiteral("Velkaro.log"));
        if (earlierLog)
            writeFile(file, "<01/02/2020 03:04:05> earlier\r\n");
        m_settings->truncate = truncate;
        m_settings->append = append;

        m_log->WriteLog(QStringLiteral("Velkaro started."), true);
        m_log->WriteLog(QStringLiteral("next"));

        m_log->Flush();
        QCOMPARE(activityLogMessages(file), expected);
        QVERIFY(m_prompt.messages.isEmpty());
    }

    void newFileEachStart_data()
    {
        QTest::addColumn<QString>("storedName");
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QString>("expectedBase");
        QTest::newRow("first free counter after the files present")
            << "Velkaro" << QStringList{"Velkaro.log", "Velkaro(2).log"} << "Velkaro(3)";
        QTest::newRow("counter of an earlier run stripped") << "x(5)" << QStringList{"x(5).log"} << "x";
        QTest::newRow("extension recognised in any case") << "Report.LOG" << QStringList{} << "Report";
        QTest::newRow("only a final extension is stripped") << "a.log.log" << QStringList{} << "a.log.log";
        QTest::newRow("a parenthesis in the folder is no counter")
            << "logs(1)/x)" << QStringList{"logs(1)/x).log"} << "logs(1)/x)(2)";
    }

    void newFileEachStart()
    {
        QFETCH(QString, storedName);
        QFETCH(QStringList, present);
        QFETCH(QString, expectedBase);
        for (const QString& name : present) {
            QDir().mkpath(QFileInfo(path(name)).path());
            writeFile(path(name), "");
        }
        QDir().mkpath(QFileInfo(path(expectedBase)).path());
        ProfileStore store(QStringLiteral("Velkaro"));
        store.WriteString(QStringLiteral("Log"), QStringLiteral("File"), path(storedName));
        store.WriteInt(QStringLiteral("Log"), QStringLiteral("Trunc"), 0);
        store.WriteInt(QStringLiteral("Log"), QStringLiteral("Append"), 0);
        m_settings->Load(store);

        m_log->WriteLog(QStringLiteral("Velkaro started."), true);
        m_log->WriteLog(QStringLiteral("next"));

        QCOMPARE(m_log->FileName(), path(expectedBase));
        m_log->Flush();
        QCOMPARE(activityLogMessages(path(expectedBase) + ".log"), (QStringList{"Velkaro started.", "next"}));
        // The run's name is its own; the stored one stays for the next start.
        QCOMPARE(store.ReadString(QStringLiteral("Log"), QStringLiteral("File"), QString()),
                 path(storedName));
    }

    void nothingIsWritten_data()
    {
        QTest::addColumn<int>("enabled");
        QTest::addColumn<QString>("message");
        QTest::newRow("logging off") << 0 << "something happened";
        QTest::newRow("empty message") << 1 << "";
    }

    // Neither a file nor a queued entry: the next real entry is alone in the log.
    void nothingIsWritten()
    {
        QFETCH(int, enabled);
        QFETCH(QString, message);
        m_settings->enabled = enabled;

        m_log->WriteLog(message, true);
        m_log->WriteLog(message);
        m_log->Flush();
        QVERIFY(!QFile::exists(path(QStringLiteral("Velkaro.log"))));

        m_settings->enabled = 1;
        m_log->WriteLog(QStringLiteral("later"));
        m_log->Flush();
        QCOMPARE(activityLogMessages(path(QStringLiteral("Velkaro.log"))), QStringList{"later"});
    }

    void missedEntriesKeepTheirStampsAndOrder()
    {
        const QString folder = path(QStringLiteral("later"));
        m_settings->fileName = folder + QStringLiteral("/Velkaro");

        m_log->WriteLog(QStringLiteral("Velkaro started."), true);
        m_log->WriteLog(QStringLiteral("first"));
        m_log->WriteLog(QStringLiteral("second"));
        QCOMPARE(m_prompt.messages, QStringList{"Could not write to log '" + folder + "/Velkaro.log'"});

        m_log->Flush();
        QTest::qSleep(1100); // so that a queued stamp differs from the flushing one
        QDir().mkpath(folder);
        m_log->WriteLog(QStringLiteral("third"));
        m_log->WriteLog(QStringLiteral("fourth"));

        m_log->Flush();
        const QStringList lines = activityLogMessages(folder + QStringLiteral("/Velkaro.log"));
        QCOMPARE(lines.size(), 4);
        QVERIFY(lines[0].startsWith(QStringLiteral("Missed Entry: <")));
        QVERIFY(lines[0].endsWith(QStringLiteral("> first")));
        QVERIFY(lines[1].endsWith(QStringLiteral("> second")));
        QCOMPARE(lines.mid(2), (QStringList{"third", "fourth"}));
        const QString queuedStamp = activityLogStamp(lines[0].mid(QStringLiteral("Missed Entry: ").size()));
        const QString flushStamp =
            activityLogStamp(readAll(folder + QStringLiteral("/Velkaro.log")).split('\r').first());
        QVERIFY(!queuedStamp.isEmpty());
        QVERIFY2(queuedStamp != flushStamp, qPrintable(queuedStamp));
        QCOMPARE(m_prompt.messages.size(), 1); // later failures are silent
    }

    // A full disk keeps the entry for the next write instead of losing it.
    void failedWriteQueuesTheEntry()
    {
        const QString file = path(QStringLiteral("Velkaro.log"));
        QVERIFY(QFile::link(QStringLiteral("/dev/full"), file));

        m_log->WriteLog(QStringLiteral("on a full disk"));
        m_log->WriteLog(QStringLiteral("still full"));
        m_log->Flush();
        QVERIFY(QFile::remove(file));
        m_log->WriteLog(QStringLiteral("space again"));

        m_log->Flush();
        const QStringList lines = activityLogMessages(file);
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[0].startsWith(QStringLiteral("Missed Entry: <")) &&
                lines[0].endsWith("> on a full disk"));
        QVERIFY(lines[1].startsWith(QStringLiteral("Missed Entry: <")) && lines[1].endsWith("> still full"));
        QCOMPARE(lines[2], QStringLiteral("space again"));
    }

    void missedEntriesAreBounded()
    {
        ActivityLog log(*m_settings, m_prompt, 2);
        const QString folder = path(QStringLiteral("later"));
        m_settings->fileName = folder + QStringLiteral("/Velkaro");
        for (const char* message : {"one", "two", "three", "four"})
            log.WriteLog(QString::fromLatin1(message));
        log.Flush();
        QDir().mkpath(folder);
        log.WriteLog(QStringLiteral("five"));

        log.Flush();
        const QStringList lines = activityLogMessages(folder + QStringLiteral("/Velkaro.log"));
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[0],
                 QStringLiteral(
                     "Missed Entry: 2 older entries were discarded while the log could not be written."));
        QVERIFY(lines[1].endsWith(QStringLiteral("> three")));
        QVERIFY(lines[2].endsWith(QStringLiteral("> four")));
        QCOMPARE(lines[3], QStringLiteral("five"));
    }

    // Every line break of a message becomes one CR LF, whatever the message held.
    void lineEnds_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("LF becomes CR LF") << "a\nb" << QByteArray("a\r\nb\r\n");
        QTest::newRow("CR LF stays one CR LF, never CR CR LF") << "a\r\nb" << QByteArray("a\r\nb\r\n");
        QTest::newRow("CR LF and LF mixed") << "a\r\nb\nc" << QByteArray("a\r\nb\r\nc\r\n");
        QTest::newRow("CR LF at the end is an empty line") << "a\r\n" << QByteArray("a\r\n\r\n");
    }

    void lineEnds()
    {
        QFETCH(QString, message);
        QFETCH(QByteArray, written);
        m_log->WriteLog(message);
        m_log->Flush();
        const QByteArray bytes = readAll(path(QStringLiteral("Velkaro.log")));
        QCOMPARE(bytes.mid(bytes.indexOf("> ") + 2), written);
    }

    void lineFormat()
    {
        const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
        m_log->WriteLog(QStringLiteral("two\nlines"));
        const QDateTime after = QDateTime::currentDateTime().addSecs(1);
        m_log->Flush();

        const QString text = QString::fromUtf8(readAll(path(QStringLiteral("Velkaro.log"))));
        const QRegularExpressionMatch match =
            QRegularExpression(
                QStringLiteral("^<(\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d)> two\r\nlines\r\n$"))
                .match(text);
        QVERIFY2(match.hasMatch(), qPrintable(text));
        // Local time, month first.
        const QDateTime stamp =
            QDateTime::fromString(match.captured(1), QStringLiteral("MM/dd/yyyy HH:mm:ss"));
        QVERIFY2(stamp >= before.addMSecs(-before.time().msec()) && stamp <= after,
                 qPrintable(match.captured(1)));
    }

    // Every line whole and each writer's lines in its own order.
    void concurrentWritersDoNotInterleave()
    {
        const int perThread = 200;
        auto writer = [this, perThread](QChar letter) {
            const QString body(300, letter);
            for (int i = 0; i < perThread; ++i)
                m_log->WriteLog(body + QStringLiteral(" %1").arg(i));
        };
        std::thread first(writer, QLatin1Char('A'));
        std::thread second(writer, QLatin1Char('B'));
        first.join();
        second.join();

        m_log->Flush();
        const QStringList lines = activityLogMessages(path(QStringLiteral("Velkaro.log")));
        QCOMPARE(lines.size(), 2 * perThread);
        const QRegularExpression whole(QStringLiteral("^(A{300}|B{300}) (\\d+)$"));
        QMap<QChar, int> nextIndex;
        for (const QString& line : lines) {
            const QRegularExpressionMatch match = whole.match(line);
            QVERIFY2(match.hasMatch(), qPrintable(line.left(80)));
            const QChar letter = line.front();
            QCOMPARE(match.captured(2).toInt(), nextIndex[letter]++);
        }
    }

    void clearLog_data()
    {
        QTest::addColumn<int>("everythingElse");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("large log records the clearing") << 1 << QStringList{"Log cleared."};
        QTest::newRow("otherwise the log is empty") << 0 << QStringList{};
    }

    void clearLog()
    {
        QFETCH(int, everythingElse);
        QFETCH(QStringList, expected);
        m_settings->LANY = everythingElse;
        m_log->WriteLog(QStringLiteral("before"));

        QVERIFY(m_log->ClearLog());

        const QString file = path(QStringLiteral("Velkaro.log"));
        QVERIFY(QFile::exists(file));
        m_log->Flush();
        QCOMPARE(activityLogMessages(file), expected);
    }

    void clearLogFailureIsReported()
    {
        m_settings->fileName = path(QStringLiteral("missing/Velkaro"));
        QVERIFY(!m_log->ClearLog());
        QCOMPARE(m_prompt.messages,
                 QStringList{"Could not clear log file'" + path("missing/Velkaro.log") + "'"});
    }

    void renamedLogTakesLaterEntries()
    {
        m_log->WriteLog(QStringLiteral("first"));
        m_log->SetFileName(path(QStringLiteral("other")));
        m_log->WriteLog(QStringLiteral("second"));
        m_log->Flush();
        QCOMPARE(activityLogMessages(path(QStringLiteral("Velkaro.log"))), QStringList{"first"});
        QCOMPARE(activityLogMessages(path(QStringLiteral("other.log"))), QStringList{"second"});

        // An emptied name means the default file, not a hidden ".log".
        const QString previous = QDir::currentPath();
        QDir::setCurrent(path(QStringLiteral(".")));
        m_log->SetFileName(QString());
        m_log->WriteLog(QStringLiteral("third"));
        m_log->Flush();
        QDir::setCurrent(previous);
        QCOMPARE(m_log->CurrentPath(), QStringLiteral("Velkaro.log"));
        QCOMPARE(activityLogMessages(path(QStringLiteral("Velkaro.log"))), (QStringList{"first", "third"}));
        QVERIFY(!QFile::exists(path(QStringLiteral(".log"))));
    }

private:
    QString path(const QString& name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    std::unique_ptr<LogSettings> m_settings;
    RecordingPrompt m_prompt;
    std::unique_ptr<ActivityLog> m_log;
};

QTEST_GUILESS_MAIN(ActivityLogTest)
#include "ActivityLogTest.moc"

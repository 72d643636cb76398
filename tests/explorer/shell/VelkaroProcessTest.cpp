// The real program as a subprocess, offscreen: a termination signal ends it as its close box does,
// with the settings, the reconnect list and the log's last line written.

#include "ActivityLogFile.h"
#include "TestDataSources.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <csignal>

class VelkaroProcessTest : public QObject
{
    Q_OBJECT

private:
    static QStringList logLines(const QString& path) { return velkaro::test::activityLogMessages(path); }

    // Offscreen, with its settings under config and its log in the working folder.
    static void start(QProcess& velkaro, const QTemporaryDir& dir, const QString& config)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
        velkaro.setProcessEnvironment(environment);
        velkaro.setWorkingDirectory(dir.path());
        velkaro.start(QStringLiteral(VELKARO_PROGRAM), {});
    }

private slots:
    void signalEndsTheRunInOrder_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }
    void signalEndsTheRunInOrder()
    {
        QFETCH(int, signalNumber);
        const velkaro::test::TestDataSource& sqlite = velkaro::test::testDataSource(QStringLiteral("sqlite"));
        VELKARO_REQUIRE_DATA_SOURCE(sqlite);

        QTemporaryDir dir;
        const QString config = dir.filePath(QStringLiteral("config"));
        const QString settingsPath = config + QStringLiteral("/Halvetic/Velkaro.conf");
        {
            QDir().mkpath(config + QStringLiteral("/Halvetic"));
            QSettings seed(settingsPath, QSettings::IniFormat);
            seed.setValue(QStringLiteral("Recent DB/0"), QStringLiteral("Shop/p0/p") + sqlite.connectString);
            seed.setValue(QStringLiteral("Recent DB/1"), QString());
            seed.setValue(QStringLiteral("Log/LANY"), 1);
        }

        QProcess velkaro;
        velkaro.setProcessChannelMode(QProcess::ForwardedChannels);
        start(velkaro, dir, config);
        QVERIFY(velkaro.waitForStarted());

        const QString log = dir.filePath(QStringLiteral("Velkaro.log"));
        QTRY_VERIFY_WITH_TIMEOUT(logLines(log).contains(QStringLiteral("Shop: Database information loaded.")),
                                 20000);
        ::kill(static_cast<pid_t>(velkaro.processId()), signalNumber);
        QVERIFY(velkaro.waitForFinished(20000));
        QCOMPARE(velkaro.exitStatus(), QProcess::NormalExit);
        QCOMPARE(velkaro.exitCode(), 0);

        const QStringList lines = logLines(log);
        QCOMPARE(lines.value(0), QStringLiteral("Velkaro started."));
        QCOMPARE(lines.mid(lines.size() - 3), (QStringList{QStringLiteral("Terminating working threads."),
                                                           QStringLiteral("Releasing used memory."),
                                                           QStringLiteral("Velkaro terminated.")}));
        QSettings written(settingsPath, QSettings::IniFormat);
        QCOMPARE(written.value(QStringLiteral("Settings/Width")).toInt(), 640);
        QCOMPARE(written.value(QStringLiteral("Settings/Height")).toInt(), 500);
        QCOMPARE(written.value(QStringLiteral("Settings/Tree")).toInt(), 200);
        QCOMPARE(written.value(QStringLiteral("Settings/Maximized")).toInt(), 0);
        QVERIFY(
            written.value(QStringLiteral("Recent DB/0")).toString().startsWith(QStringLiteral("Shop/p0/p")));
        QCOMPARE(written.value(QStringLiteral("Recent DB/1")).toString(), QString());
    }

    // A settings file that cannot be parsed goes aside under a dated name; the user is told (the
    // message is logged before its box opens), and the run saves its settings normally.
    void damagedSettingsFileIsMovedAside()
    {
        QTemporaryDir dir;
        const QString config = dir.filePath(QStringLiteral("config"));
        const QString settingsPath = config + QStringLiteral("/Halvetic/Velkaro.conf");
        QDir().mkpath(config + QStringLiteral("/Halvetic"));
        {
            QFile damaged(settingsPath);
            QVERIFY(damaged.open(QIODevice::WriteOnly));
            damaged.write("[Settings]\nWidth=700\n[\x01\xff garbage");
        }

        QProcess velkaro;
        velkaro.setProcessChannelMode(QProcess::ForwardedChannels);
        start(velkaro, dir, config);
        QVERIFY(velkaro.waitForStarted());
        const QString log = dir.filePath(QStringLiteral("Velkaro.log"));
        const auto toldOfIt = [&] {
            const QStringList lines = logLines(log);
            return std::any_of(lines.begin(), lines.end(), [](const QString& line) {
                return line.startsWith(QStringLiteral("The settings file ")) &&
                       line.contains(QStringLiteral("has been moved to"));
            });
        };
        QTRY_VERIFY_WITH_TIMEOUT(toldOfIt(), 20000);
        ::kill(static_cast<pid_t>(velkaro.processId()), SIGTERM);
        QVERIFY(velkaro.waitForFinished(20000));
        QCOMPARE(velkaro.exitCode(), 0);

        const QStringList aside =
            QDir(config + QStringLiteral("/Halvetic")).entryList({QStringLiteral("Velkaro.conf.damaged-*")});
        QCOMPARE(aside.size(), 1);
        QSettings written(settingsPath, QSettings::IniFormat);
        QCOMPARE(written.status(), QSettings::NoError);
        QCOMPARE(written.value(QStringLiteral("Settings/Width")).toInt(), 640);
        QCOMPARE(written.value(QStringLiteral("Recent DB/0")).toString(), QString());
    }

    // Settings that cannot be written: a shutdown started by a signal reports it in the log and on
    // the error output and ends, rather than wait for a click on a message box.
    void signalShutdownNeverWaitsOnADialog()
    {
        QTemporaryDir dir;
        const QString config = dir.filePath(QStringLiteral("config"));
        // A folder where the file belongs: every save fails, whoever runs the test.
        QVERIFY(QDir().mkpath(config + QStringLiteral("/Halvetic/Velkaro.conf")));

        QProcess velkaro;
        start(velkaro, dir, config);
        QVERIFY(velkaro.waitForStarted());
        const QString log = dir.filePath(QStringLiteral("Velkaro.log"));
        QTRY_VERIFY_WITH_TIMEOUT(logLines(log).contains(QStringLiteral("Velkaro started.")), 20000);
        QTest::qWait(500);
        ::kill(static_cast<pid_t>(velkaro.processId()), SIGTERM);
        QVERIFY(velkaro.waitForFinished(20000));
        QCOMPARE(velkaro.exitCode(), 0);

        const QString errors = QString::fromUtf8(velkaro.readAllStandardError());
        QVERIFY2(errors.contains(QStringLiteral("Velkaro: The window placement could not be written to ")),
                 qPrintable(errors));
        const QStringList lines = logLines(log);
        QVERIFY(std::any_of(lines.begin(), lines.end(), [](const QString& line) {
            return line.startsWith(QStringLiteral("The window placement could not be written to "));
        }));
        QVERIFY(lines.contains(QStringLiteral("Velkaro terminated.")));
    }
};

QTEST_MAIN(VelkaroProcessTest)
#include "VelkaroProcessTest.moc"

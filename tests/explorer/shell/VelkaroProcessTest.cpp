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
#include <csignal>

class VelkaroProcessTest : public QObject
{
    Q_OBJECT

private:
    static QStringList logLines(const QString& path) { return velkaro::test::activityLogMessages(path); }

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
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
        velkaro.setProcessEnvironment(environment);
        velkaro.setWorkingDirectory(dir.path());
        velkaro.setProcessChannelMode(QProcess::ForwardedChannels);
        velkaro.start(QStringLiteral(VELKARO_PROGRAM), {});
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
};

QTEST_MAIN(VelkaroProcessTest)
#include "VelkaroProcessTest.moc"

#include "common/SignalForwarder.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>
#include <csignal>

using velkaro::SignalForwarder;

namespace {

int openDescriptors()
{
    return int(
        QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size());
}

bool handlerIsDefault(int number)
{
    struct sigaction current = {};
    ::sigaction(number, nullptr, &current);
    return current.sa_handler == SIG_DFL;
}

} // namespace

// The window programs close on these signals through the forwarder.
class SignalForwarderTest final : public QObject
{
    Q_OBJECT

private slots:
    void eachSignalArrivesInTheEventLoop_data()
    {
        QTest::addColumn<QList<int>>("raised");
        QTest::newRow("SIGTERM") << QList<int>{SIGTERM};
        QTest::newRow("SIGINT") << QList<int>{SIGINT};
        QTest::newRow("SIGHUP") << QList<int>{SIGHUP};
        // The loop reads until the pair is empty: a blocking read end would hang here.
        QTest::newRow("a burst before the loop runs") << QList<int>{SIGHUP, SIGTERM, SIGHUP};
    }
    void eachSignalArrivesInTheEventLoop()
    {
        QFETCH(QList<int>, raised);
        SignalForwarder forwarder;
        QVERIFY(forwarder.IsInstalled());
        QSignalSpy spy(&forwarder, &SignalForwarder::Received);
        for (const int number : raised)
            std::raise(number);
        QVERIFY(spy.isEmpty()); // never from inside the handler
        QTRY_COMPARE(spy.size(), raised.size());
        for (qsizetype i = 0; i < raised.size(); ++i)
            QCOMPARE(spy.at(i).at(0).toInt(), raised.at(i));
    }

    void aSecondForwarderIsRefusedAndLeavesTheFirstWorking()
    {
        SignalForwarder first;
        {
            SignalForwarder second;
            QVERIFY(!second.IsInstalled());
        }
        QSignalSpy spy(&first, &SignalForwarder::Received);
        std::raise(SIGHUP);
        QTRY_COMPARE(spy.size(), 1);
    }

    void removalRestoresTheHandlersAndClosesThePair()
    {
        const int before = openDescriptors();
        for (int round = 0; round < 3; ++round) {
            SignalForwarder forwarder;
            QVERIFY(forwarder.IsInstalled());
            QVERIFY(!handlerIsDefault(SIGTERM));
        }
        QCOMPARE(openDescriptors(), before);
        QVERIFY(handlerIsDefault(SIGTERM) && handlerIsDefault(SIGINT) && handlerIsDefault(SIGHUP));
    }
};

QTEST_GUILESS_MAIN(SignalForwarderTest)
#include "SignalForwarderTest.moc"

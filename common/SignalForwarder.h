#pragma once

#include <QObject>

class QSocketNotifier;

namespace velkaro {

// SIGTERM, SIGINT and SIGHUP delivered as a Qt signal in the event loop of the thread that made
// the forwarder. The handler only writes the number to a socket pair, which the loop reads back;
// nothing else is safe in a handler. One forwarder at a time per process.
class SignalForwarder final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SignalForwarder)

public:
    explicit SignalForwarder(QObject* parent = nullptr);
    // Restores the default handlers and closes the socket pair.
    ~SignalForwarder() override;

    // False when the socket pair or a handler could not be set up, or another forwarder is live.
    bool IsInstalled() const { return m_notifier != nullptr; }

signals:
    void Received(int signalNumber);

private:
    bool Install();
    void ReadSignals();

    QSocketNotifier* m_notifier = nullptr;
    bool m_ownsSockets = false;
};

} // namespace velkaro

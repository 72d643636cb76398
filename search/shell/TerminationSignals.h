#pragma once

#include <QObject>

class QSocketNotifier;

namespace velkaro {

// SIGTERM, SIGINT and SIGHUP, delivered as a signal on the interface thread. The handler only
// writes the number to a socket pair; the notifier reads it back in the event loop.
class TerminationSignals final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TerminationSignals)

public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    bool isInstalled() const { return m_notifier != nullptr; }

signals:
    void received(int signalNumber);

private:
    void readSignal();

    QSocketNotifier* m_notifier = nullptr;
};

} // namespace velkaro

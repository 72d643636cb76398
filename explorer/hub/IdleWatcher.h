#pragma once

#include <QEvent>
#include <QObject>
#include <QTimer>

namespace velkaro {

class RefreshScheduler;

// The program's idle detection: an application-wide event filter restarts the scheduler's idle
// period on every user input, and a periodic timer runs its idle test.
class IdleWatcher final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(IdleWatcher)

public:
    static constexpr int kCheckIntervalMs = 5000;

    explicit IdleWatcher(RefreshScheduler& scheduler, QObject* parent = nullptr);
    ~IdleWatcher() override;

    // Shutdown: no refresh starts any more.
    void Stop();
    static bool IsUserInput(QEvent::Type type);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    RefreshScheduler& m_scheduler;
    QTimer m_timer;
};

} // namespace velkaro

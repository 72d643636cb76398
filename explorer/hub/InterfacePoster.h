#pragma once

#include <QObject>
#include <deque>
#include <functional>
#include <mutex>

namespace velkaro {

// Lets worker threads hand work to the interface thread. The calls wait in a queue guarded by our
// own mutex, and the receiver is only told by name that some are waiting: a functor posted through
// Qt's event queue would pass between threads behind Qt's uninstrumented locks, which
// ThreadSanitizer cannot see. The receiver is cleared before it is destroyed, so a worker that
// outlives it posts nothing rather than into freed memory.
class InterfacePoster final
{
public:
    // runMethod names a Q_INVOKABLE of the receiver that calls runPending().
    void SetReceiver(QObject* receiver, const char* runMethod = nullptr);
    // Runs call on the receiver's thread later; dropped when there is no receiver.
    void Post(std::function<void()> call);
    // On the receiver's thread: runs the calls posted so far, in order.
    void RunPending();

private:
    std::mutex m_mutex;
    QObject* m_receiver = nullptr;
    const char* m_runMethod = nullptr;
    std::deque<std::function<void()>> m_calls;
};

} // namespace velkaro

#pragma once

#include <QObject>
#include <functional>
#include <mutex>

namespace velkaro {

// Lets worker threads hand work to the interface thread. The receiver is cleared before it is
// destroyed, so a worker that outlives it posts nothing rather than into freed memory.
class InterfacePoster final
{
public:
    void setReceiver(QObject* receiver);
    // Runs call on the receiver's thread later; dropped when there is no receiver.
    void post(std::function<void()> call);

private:
    std::mutex m_mutex;
    QObject* m_receiver = nullptr;
};

} // namespace velkaro

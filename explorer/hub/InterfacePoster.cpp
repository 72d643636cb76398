#include "explorer/hub/InterfacePoster.h"

#include <QMetaObject>

namespace velkaro {

void InterfacePoster::SetReceiver(QObject* receiver, const char* runMethod)
{
    std::deque<std::function<void()>> dropped;
    {
        std::lock_guard lock(m_mutex);
        m_receiver = receiver;
        m_runMethod = receiver ? runMethod : nullptr;
        if (!receiver)
            dropped.swap(m_calls);
    }
    // The dropped calls are freed here, outside the lock.
}

void InterfacePoster::Post(std::function<void()> call)
{
    std::lock_guard lock(m_mutex);
    if (!m_receiver || !m_runMethod)
        return;
    m_calls.push_back(std::move(call));
    // One notice covers every call queued until the receiver runs them.
    if (m_calls.size() == 1)
        QMetaObject::invokeMethod(m_receiver, m_runMethod, Qt::QueuedConnection);
}

void InterfacePoster::RunPending()
{
    std::deque<std::function<void()>> calls;
    {
        std::lock_guard lock(m_mutex);
        calls.swap(m_calls);
    }
    for (const std::function<void()>& call : calls)
        call();
}

} // namespace velkaro

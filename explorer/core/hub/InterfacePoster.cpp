#include "explorer/core/hub/InterfacePoster.h"

#include <QMetaObject>

namespace velkaro {

void InterfacePoster::setReceiver(QObject* receiver)
{
    std::lock_guard lock(m_mutex);
    m_receiver = receiver;
}

void InterfacePoster::post(std::function<void()> call)
{
    std::lock_guard lock(m_mutex);
    if (m_receiver)
        QMetaObject::invokeMethod(m_receiver, std::move(call), Qt::QueuedConnection);
}

} // namespace velkaro

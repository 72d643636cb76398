#include "explorer/hub/IdleWatcher.h"

#include "explorer/hub/RefreshScheduler.h"

#include <QCoreApplication>
#include <QEvent>

namespace velkaro {

IdleWatcher::IdleWatcher(RefreshScheduler& scheduler, QObject* parent)
    : QObject(parent), m_scheduler(scheduler)
{
    if (QCoreApplication* application = QCoreApplication::instance())
        application->installEventFilter(this);
    m_timer.setInterval(kCheckIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, [this] { m_scheduler.CheckIdle(); });
    m_timer.start();
}

IdleWatcher::~IdleWatcher()
{
    Stop();
}

void IdleWatcher::Stop()
{
    m_timer.stop();
    if (QCoreApplication* application = QCoreApplication::instance())
        application->removeEventFilter(this);
}

bool IdleWatcher::IsUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::HoverMove:
    case QEvent::Enter:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::InputMethod:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
        return true;
    default:
        return false;
    }
}

bool IdleWatcher::eventFilter(QObject* watched, QEvent* event)
{
    if (IsUserInput(event->type()))
        m_scheduler.RestartIdle();
    return QObject::eventFilter(watched, event);
}

} // namespace velkaro

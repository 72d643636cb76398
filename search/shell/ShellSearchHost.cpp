#include "search/shell/ShellSearchHost.h"

#include "common/UserPrompt.h"
#include "search/shell/ControlPanel.h"

#include <QCoreApplication>

namespace velkaro {

ShellSearchHost::ShellSearchHost(UserPrompt& prompt, QObject* parent) : QObject(parent), m_prompt(prompt)
{}

ShellSearchHost::~ShellSearchHost() = default;

void ShellSearchHost::post(Call call)
{
    std::lock_guard lock(m_mutex);
    m_pending.push_back(std::move(call));
    if (m_drainPosted)
        return;
    m_drainPosted = true;
    QMetaObject::invokeMethod(this, &ShellSearchHost::drain, Qt::QueuedConnection);
}

void ShellSearchHost::drain()
{
    // A message box below runs its own event loop: calls arriving meanwhile wait for it.
    if (m_draining)
        return;
    m_draining = true;
    for (;;) {
        Call call;
        {
            std::lock_guard lock(m_mutex);
            if (m_pending.empty()) {
                m_drainPosted = false;
                break;
            }
            call = std::move(m_pending.front());
            m_pending.pop_front();
        }
        if (m_writer)
            QCoreApplication::sendPostedEvents(m_writer, QEvent::MetaCall);
        call();
    }
    m_draining = false;
}

void ShellSearchHost::onPanel(std::function<void(ControlPanel&)> call)
{
    post([this, call = std::move(call)] {
        if (m_panel)
            call(*m_panel);
    });
}

void ShellSearchHost::setTitle(const QString& title)
{
    post([this, title] { emit titleChanged(title); });
}

void ShellSearchHost::setProgressRange(SearchProgressBar bar, int maximum)
{
    onPanel([bar, maximum](ControlPanel& panel) { panel.setProgressRange(bar, maximum); });
}

void ShellSearchHost::stepProgress(SearchProgressBar bar)
{
    onPanel([bar](ControlPanel& panel) { panel.stepProgress(bar); });
}

void ShellSearchHost::finishProgress(SearchProgressBar bar)
{
    onPanel([bar](ControlPanel& panel) { panel.finishProgress(bar); });
}

void ShellSearchHost::setObjectList(const QStringList& names)
{
    onPanel([names](ControlPanel& panel) { panel.setObjectList(names); });
}

void ShellSearchHost::selectObject(const QString& name)
{
    onPanel([name](ControlPanel& panel) { panel.selectObject(name); });
}

void ShellSearchHost::showMessage(const QString& text)
{
    post([this, text] {
        if (!m_quiet)
            m_prompt.showMessage(text);
    });
}

void ShellSearchHost::commandStateChanged()
{
    post([this] { emit commandStatesChanged(); });
}

void ShellSearchHost::runEnded()
{
    m_ended = true;
    post([this] { emit runFinished(); });
}

} // namespace velkaro

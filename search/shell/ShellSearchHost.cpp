#include "search/shell/ShellSearchHost.h"

#include "common/UserPrompt.h"
#include "search/engine/QueuedReportWriter.h"
#include "search/shell/ControlPanel.h"

#include <QElapsedTimer>

namespace velkaro {

namespace {

// How long one turn of the event loop carries out the run's calls before the window's own events.
constexpr qint64 kTurnBudgetMs = 15;

} // namespace

ShellSearchHost::ShellSearchHost(UserPrompt& prompt, QObject* parent) : QObject(parent), m_prompt(prompt)
{}

ShellSearchHost::~ShellSearchHost() = default;

void ShellSearchHost::setReportWriter(QueuedReportWriter* writer)
{
    m_writer = writer;
}

void ShellSearchHost::post(Call call)
{
    std::lock_guard lock(m_mutex);
    m_pending.emplace_back(std::move(call));
    postDrainLocked();
}

void ShellSearchHost::updatePanel(const std::function<void(PanelUpdate&)>& change)
{
    std::lock_guard lock(m_mutex);
    if (m_pending.empty() || !std::holds_alternative<PanelUpdate>(m_pending.back()))
        m_pending.emplace_back(PanelUpdate{});
    change(std::get<PanelUpdate>(m_pending.back()));
    postDrainLocked();
}

void ShellSearchHost::postDrainLocked()
{
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
    // What the run posts meanwhile waits for the next turn of the event loop: a worker that keeps
    // posting must not hold this thread here.
    size_t count = 0;
    {
        std::lock_guard lock(m_mutex);
        m_drainPosted = false;
        count = m_pending.size();
    }
    QElapsedTimer turn;
    turn.start();
    for (; count > 0 && turn.elapsed() < kTurnBudgetMs; --count) {
        Entry entry;
        {
            std::lock_guard lock(m_mutex);
            if (m_pending.empty())
                break;
            entry = std::move(m_pending.front());
            m_pending.pop_front();
        }
        // A title or a message comes after the text written before it; the panel's progress
        // need not wait for the report.
        if (m_writer && std::holds_alternative<Call>(entry))
            m_writer->flush();
        carryOut(entry);
    }
    m_draining = false;
    std::lock_guard lock(m_mutex);
    if (!m_pending.empty())
        postDrainLocked();
}

void ShellSearchHost::carryOut(Entry& entry)
{
    if (Call* call = std::get_if<Call>(&entry)) {
        (*call)();
        return;
    }
    const PanelUpdate& update = std::get<PanelUpdate>(entry);
    if (!m_panel)
        return;
    for (size_t bar = 0; bar < update.steps.size(); ++bar) {
        if (update.steps[bar] > 0)
            m_panel->stepProgress(static_cast<SearchProgressBar>(bar), update.steps[bar]);
    }
    if (update.selected)
        m_panel->selectObject(*update.selected);
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
    updatePanel([bar](PanelUpdate& update) { ++update.steps[static_cast<size_t>(bar)]; });
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
    updatePanel([&name](PanelUpdate& update) { update.selected = name; });
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

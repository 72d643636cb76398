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

void ShellSearchHost::SetReportWriter(QueuedReportWriter* writer)
{
    m_writer = writer;
}

void ShellSearchHost::Post(Call call)
{
    std::lock_guard lock(m_mutex);
    m_pending.emplace_back(std::move(call));
    PostDrainLocked();
}

void ShellSearchHost::UpdatePanel(const std::function<void(PanelUpdate&)>& change)
{
    std::lock_guard lock(m_mutex);
    if (m_pending.empty() || !std::holds_alternative<PanelUpdate>(m_pending.back()))
        m_pending.emplace_back(PanelUpdate{});
    change(std::get<PanelUpdate>(m_pending.back()));
    PostDrainLocked();
}

void ShellSearchHost::PostDrainLocked()
{
    if (m_drainPosted)
        return;
    m_drainPosted = true;
    QMetaObject::invokeMethod(this, &ShellSearchHost::Drain, Qt::QueuedConnection);
}

void ShellSearchHost::Drain()
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
            m_writer->Flush();
        CarryOut(entry);
    }
    m_draining = false;
    std::lock_guard lock(m_mutex);
    if (!m_pending.empty())
        PostDrainLocked();
}

void ShellSearchHost::CarryOut(Entry& entry)
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
            m_panel->StepProgress(static_cast<SearchProgressBar>(bar), update.steps[bar]);
    }
    if (update.selected)
        m_panel->SelectObject(*update.selected);
}

void ShellSearchHost::OnPanel(std::function<void(ControlPanel&)> call)
{
    Post([this, call = std::move(call)] {
        if (m_panel)
            call(*m_panel);
    });
}

void ShellSearchHost::SetTitle(const QString& title)
{
    Post([this, title] { emit TitleChanged(title); });
}

void ShellSearchHost::SetProgressRange(SearchProgressBar bar, int maximum)
{
    OnPanel([bar, maximum](ControlPanel& panel) { panel.SetProgressRange(bar, maximum); });
}

void ShellSearchHost::StepProgress(SearchProgressBar bar)
{
    UpdatePanel([bar](PanelUpdate& update) { ++update.steps[static_cast<size_t>(bar)]; });
}

void ShellSearchHost::FinishProgress(SearchProgressBar bar)
{
    OnPanel([bar](ControlPanel& panel) { panel.FinishProgress(bar); });
}

void ShellSearchHost::SetObjectList(const QStringList& names)
{
    OnPanel([names](ControlPanel& panel) { panel.SetObjectList(names); });
}

void ShellSearchHost::SelectObject(const QString& name)
{
    UpdatePanel([&name](PanelUpdate& update) { update.selected = name; });
}

void ShellSearchHost::ShowMessage(const QString& text)
{
    Post([this, text] {
        if (!m_quiet)
            m_prompt.ShowMessage(text);
    });
}

void ShellSearchHost::CommandStateChanged()
{
    Post([this] { emit CommandStatesChanged(); });
}

void ShellSearchHost::RunEnded()
{
    m_ended = true;
    Post([this] { emit RunFinished(); });
}

} // namespace velkaro

#pragma once

#include "search/engine/SearchHost.h"

#include <QObject>
#include <QPointer>
#include <array>
#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <variant>

namespace velkaro {

class ControlPanel;
class QueuedReportWriter;
class UserPrompt;

// What a run reports, carried out on the interface thread in the order the run reported it. The
// run never waits: each call is queued. A message box of the run holds back the calls after it
// until it is answered, so the window does not move on under the message. The selection and the
// progress steps of one object after another are merged into one panel update until the next
// other call, so a catalog of many thousand objects costs the window a few updates per turn.
class ShellSearchHost final : public QObject, public SearchHost
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ShellSearchHost)

public:
    explicit ShellSearchHost(UserPrompt& prompt, QObject* parent = nullptr);
    ~ShellSearchHost() override;

    void SetControlPanel(ControlPanel* panel) { m_panel = panel; }
    // The run's report writer: what the run wrote before a call is put in the report before the
    // call is carried out, so that no title or message runs ahead of the text.
    void SetReportWriter(QueuedReportWriter* writer);
    // A run begins; ended() turns true with its last call, on the run's thread.
    void BeginRun() { m_ended = false; }
    bool Ended() const { return m_ended; }
    // The program is ending: the run's messages are no longer shown.
    void SetQuiet(bool quiet) { m_quiet = quiet; }

    void SetTitle(const QString& title) override;
    void SetProgressRange(SearchProgressBar bar, int maximum) override;
    void StepProgress(SearchProgressBar bar) override;
    void FinishProgress(SearchProgressBar bar) override;
    void SetObjectList(const QStringList& names) override;
    void SelectObject(const QString& name) override;
    void ShowMessage(const QString& text) override;
    void CommandStateChanged() override;
    void RunEnded() override;

signals:
    void TitleChanged(const QString& title);
    void CommandStatesChanged();
    void RunFinished();

private slots:
    void Drain();

private:
    using Call = std::function<void()>;
    // Steps of each bar and the latest selection, made since the previous other call.
    struct PanelUpdate
    {
        std::array<int, 4> steps{};
        std::optional<QString> selected;
    };
    using Entry = std::variant<Call, PanelUpdate>;

    void Post(Call call);
    void OnPanel(std::function<void(ControlPanel&)> call);
    void UpdatePanel(const std::function<void(PanelUpdate&)>& change);
    void PostDrainLocked();
    void CarryOut(Entry& entry);

    UserPrompt& m_prompt;
    QPointer<ControlPanel> m_panel;
    QPointer<QueuedReportWriter> m_writer;
    std::atomic<bool> m_ended{true};
    std::atomic<bool> m_quiet{false};
    std::mutex m_mutex;
    std::deque<Entry> m_pending; // guarded by m_mutex
    bool m_drainPosted = false;  // guarded by m_mutex
    bool m_draining = false;     // interface thread only
};

} // namespace velkaro

#pragma once

#include "search/engine/SearchHost.h"

#include <QString>
#include <array>
#include <cstdio>

namespace velkaro {

class UserPrompt;

// What the run shows on the way: with a terminal on the error stream, one status line with the
// phase, its progress and the object being read; without one, nothing. The run's messages go to
// the prompt, except the one that only says the run is over: the exit status tells that.
class BatchHost final : public SearchHost
{
public:
    BatchHost(std::FILE* errors, bool showProgress, UserPrompt& prompt);

    void SetTitle(const QString& title) override;
    void SetProgressRange(SearchProgressBar bar, int maximum) override;
    void StepProgress(SearchProgressBar bar) override;
    void FinishProgress(SearchProgressBar bar) override;
    void SetObjectList(const QStringList& names) override;
    void SelectObject(const QString& name) override;
    void ShowMessage(const QString& text) override;
    void CommandStateChanged() override;
    void RunEnded() override;

private:
    struct Bar
    {
        int position = 0;
        int maximum = 0;
    };

    void Redraw();
    void ClearLine();

    std::FILE* m_errors;
    const bool m_showProgress;
    UserPrompt& m_prompt;
    QString m_title;
    QString m_object;
    std::array<Bar, 4> m_bars{};
    SearchProgressBar m_current = SearchProgressBar::Objects;
    bool m_lineShown = false;
};

} // namespace velkaro

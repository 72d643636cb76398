#pragma once

#include "common/UserPrompt.h"

#include <QPointer>
#include <QWidget>
#include <atomic>
#include <functional>

namespace velkaro {

// The program's prompt: the dialogs of the prompt it wraps (message boxes are owned by whichever
// window is in front), until the program is told to end; from then on nothing waits for an answer (messages
// go to the error output and the ending log, questions get the cautious answer). Calls from other threads are
// carried out on the interface thread, where the ending is noticed.
class ShellPrompt final : public UserPrompt
{
public:
    ShellPrompt(UserPrompt& dialogs, QWidget* mainWindow);

    void SetMainWindow(QWidget* window) { m_mainWindow = window; }
    void SetEnding() { m_ending = true; }
    bool IsEnding() const { return m_ending; }
    // Where messages go as well once the program is ending (its activity log, say); interface thread.
    void SetEndingLog(std::function<void(const QString&)> log) { m_endingLog = std::move(log); }

    void ShowMessage(const QString& text) override;
    bool AskYesNo(const QString& text) override;
    std::optional<SaveFileChoice> ChooseSaveFile(const SaveFileRequest& request) override;
    std::optional<QString> ChooseDataSource() override;
    std::optional<LoginAnswer> AskLogin(const LoginRequest& request) override;

private:
    void AdoptFrontWindow();

    UserPrompt& m_dialogs;
    QPointer<QWidget> m_mainWindow;
    std::atomic<bool> m_ending{false};
    std::function<void(const QString&)> m_endingLog;
};

} // namespace velkaro

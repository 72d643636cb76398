#pragma once

#include "common/UserPrompt.h"

#include <QPointer>
#include <QWidget>

namespace velkaro {

// The production prompt: message boxes titled with the application's name, the file chooser and
// the data source and login dialogs. A call from a worker thread is carried out on the interface
// thread while the worker waits for the answer.
class MessageBoxPrompt final : public UserPrompt
{
public:
    explicit MessageBoxPrompt(QWidget* parent = nullptr);

    // The window the dialogs belong to; may change as windows come and go.
    void setParentWidget(QWidget* parent) { m_parent = parent; }

    void ShowMessage(const QString& text) override;
    void ShowError(const QString& text) override;
    bool AskYesNo(const QString& text) override;
    std::optional<SaveFileChoice> ChooseSaveFile(const SaveFileRequest& request) override;
    std::optional<QString> ChooseDataSource() override;
    std::optional<LoginAnswer> AskLogin(const LoginRequest& request) override;

private:
    int exec(const QString& text, int buttons, int icon);

    QPointer<QWidget> m_parent;
};

} // namespace velkaro

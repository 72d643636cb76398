#pragma once

#include "common/UserPrompt.h"

#include <cstdio>

namespace velkaro {

// The questions of a run without windows: messages go to the error stream, questions are
// answered No, and a login asks for the password on the controlling terminal with echo off.
// Without a terminal the login is refused, so a script never hangs on a prompt.
class BatchPrompt final : public UserPrompt
{
public:
    explicit BatchPrompt(std::FILE* errors) : m_errors(errors) {}

    void ShowMessage(const QString& text) override;
    bool AskYesNo(const QString& text) override;
    std::optional<SaveFileChoice> ChooseSaveFile(const SaveFileRequest& request) override;
    std::optional<QString> ChooseDataSource() override;
    std::optional<LoginAnswer> AskLogin(const LoginRequest& request) override;

    // Names and driver texts come from the database: control characters in them must not drive
    // the terminal. Line breaks and tabs stay when asked for.
    static QString Printable(QString text, bool keepLineBreaks);

private:
    std::FILE* m_errors;
};

} // namespace velkaro

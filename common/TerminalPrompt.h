#pragma once

#include "common/UserPrompt.h"

#include <cstdio>

namespace velkaro {

// The questions of a program without windows: messages go to the error stream after the program's
// name, questions are answered No, and a login asks for the password on the controlling terminal
// with echo off. Without a terminal the login is refused, so a script never hangs on a prompt.
class TerminalPrompt final : public UserPrompt
{
public:
    TerminalPrompt(std::FILE* errors, QString program) : m_errors(errors), m_program(std::move(program)) {}

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
    QString m_program;
};

} // namespace velkaro

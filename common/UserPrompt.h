#pragma once

#include <QString>

#include <optional>

namespace velkaro {

// What a save-style file chooser is asked for.
struct SaveFileRequest
{
    QString title;
    QString initialPath;
    QString defaultSuffix; // without the dot, e.g. "log"
    QString filter;        // Qt filter text, e.g. "Velkaro Files (*.log)"
    bool confirmOverwrite = true;
    bool pathMustExist = true;
};

struct LoginRequest
{
    QString dataSource; // what the user is logging into, for the dialog's caption
    QString user;       // proposed user name
    QString problem;    // the driver's complaint from the previous attempt, may be empty
};

struct LoginAnswer
{
    QString user;
    QString password;
};

// Everything that asks the user something goes through here, so the engines and the
// tests never block on a modal window. Production shows real dialogs.
class UserPrompt
{
public:
    virtual ~UserPrompt() = default;

    // A message box with an OK button only.
    virtual void showMessage(const QString& text) = 0;
    // A question with Yes and No buttons; true for Yes.
    virtual bool askYesNo(const QString& text) = 0;
    // A save-style chooser; nullopt when cancelled.
    virtual std::optional<QString> chooseSaveFile(const SaveFileRequest& request) = 0;
    // The "Select Data Source" dialog; an input connect string, nullopt when cancelled.
    virtual std::optional<QString> chooseDataSource() = 0;
    // The login dialog; nullopt when cancelled.
    virtual std::optional<LoginAnswer> askLogin(const LoginRequest& request) = 0;
};

} // namespace velkaro

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
    QString filter;        // Qt filter text, e.g. "Velkaro Files (*.log)"; the one that names the
                           // default suffix is selected first
    bool confirmOverwrite = true;
    bool pathMustExist = true;
};

// What a save-style chooser gave: the path, and the filter of the request that was selected
// with it (empty when the chooser offers none).
struct SaveFileChoice
{
    QString path;
    QString filter;

    // The extension a filter names first, "rtf" of "RTF Format (*.rtf)"; empty when it names none.
    static QString FilterSuffix(const QString& filter)
    {
        const qsizetype start = filter.indexOf(QLatin1String("*."));
        if (start < 0)
            return QString();
        qsizetype end = start + 2;
        while (end < filter.size() && filter.at(end).isLetterOrNumber())
            ++end;
        return filter.mid(start + 2, end - start - 2);
    }
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
    virtual void ShowMessage(const QString& text) = 0;
    // The same for something that failed: the box carries the error icon.
    virtual void ShowError(const QString& text) { ShowMessage(text); }
    // A question with Yes and No buttons; true for Yes.
    virtual bool AskYesNo(const QString& text) = 0;
    // A save-style chooser; nullopt when cancelled. A name typed without an extension gets the
    // extension of the selected filter (the default suffix when the filter names none).
    virtual std::optional<SaveFileChoice> ChooseSaveFile(const SaveFileRequest& request) = 0;
    // The "Select Data Source" dialog; an input connect string, nullopt when cancelled.
    virtual std::optional<QString> ChooseDataSource() = 0;
    // The login dialog; nullopt when cancelled.
    virtual std::optional<LoginAnswer> AskLogin(const LoginRequest& request) = 0;
};

} // namespace velkaro

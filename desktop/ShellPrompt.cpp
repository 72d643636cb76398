#include "desktop/ShellPrompt.h"

#include "desktop/MessageBoxPrompt.h"

#include <QApplication>
#include <QThread>
#include <cstdio>

namespace velkaro {

ShellPrompt::ShellPrompt(UserPrompt& dialogs, QWidget* mainWindow)
    : m_dialogs(dialogs), m_mainWindow(mainWindow)
{}

void ShellPrompt::AdoptFrontWindow()
{
    // Windows belong to the interface thread; a worker's question keeps the last owner.
    if (QThread::currentThread() != qApp->thread())
        return;
    auto* boxes = dynamic_cast<MessageBoxPrompt*>(&m_dialogs);
    if (!boxes)
        return;
    QWidget* front = QApplication::activeModalWidget();
    boxes->setParentWidget(front ? front : m_mainWindow.data());
}

void ShellPrompt::ShowMessage(const QString& text)
{
    if (m_ending) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()), qPrintable(text));
        if (m_endingLog && QThread::currentThread() == qApp->thread())
            m_endingLog(text);
        return;
    }
    AdoptFrontWindow();
    m_dialogs.ShowMessage(text);
}

bool ShellPrompt::AskYesNo(const QString& text)
{
    if (m_ending)
        return false;
    AdoptFrontWindow();
    return m_dialogs.AskYesNo(text);
}

std::optional<SaveFileChoice> ShellPrompt::ChooseSaveFile(const SaveFileRequest& request)
{
    if (m_ending)
        return std::nullopt;
    AdoptFrontWindow();
    return m_dialogs.ChooseSaveFile(request);
}

std::optional<QString> ShellPrompt::ChooseDataSource()
{
    if (m_ending)
        return std::nullopt;
    AdoptFrontWindow();
    return m_dialogs.ChooseDataSource();
}

std::optional<LoginAnswer> ShellPrompt::AskLogin(const LoginRequest& request)
{
    if (m_ending)
        return std::nullopt;
    AdoptFrontWindow();
    return m_dialogs.AskLogin(request);
}

} // namespace velkaro

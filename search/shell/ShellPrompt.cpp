#include "search/shell/ShellPrompt.h"

#include "desktop/MessageBoxPrompt.h"

#include <QApplication>
#include <QThread>
#include <cstdio>

namespace velkaro {

ShellPrompt::ShellPrompt(UserPrompt& dialogs, QWidget* mainWindow)
    : m_dialogs(dialogs), m_mainWindow(mainWindow)
{}

void ShellPrompt::adoptFrontWindow()
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

void ShellPrompt::showMessage(const QString& text)
{
    if (m_ending) {
        std::fprintf(stderr, "Zindrel: %s\n", qPrintable(text));
        return;
    }
    adoptFrontWindow();
    m_dialogs.showMessage(text);
}

bool ShellPrompt::askYesNo(const QString& text)
{
    if (m_ending)
        return false;
    adoptFrontWindow();
    return m_dialogs.askYesNo(text);
}

std::optional<SaveFileChoice> ShellPrompt::chooseSaveFile(const SaveFileRequest& request)
{
    if (m_ending)
        return std::nullopt;
    adoptFrontWindow();
    return m_dialogs.chooseSaveFile(request);
}

std::optional<QString> ShellPrompt::chooseDataSource()
{
    if (m_ending)
        return std::nullopt;
    adoptFrontWindow();
    return m_dialogs.chooseDataSource();
}

std::optional<LoginAnswer> ShellPrompt::askLogin(const LoginRequest& request)
{
    if (m_ending)
        return std::nullopt;
    adoptFrontWindow();
    return m_dialogs.askLogin(request);
}

} // namespace velkaro

#include "search/shell/ShellPrompt.h"

#include "desktop/MessageBoxPrompt.h"

#include <QApplication>
#include <QThread>
#include <cstdio>

namespace velkaro {

namespace {

template <typename Call> auto onInterfaceThread(Call call) -> decltype(call())
{
    QCoreApplication* application = QCoreApplication::instance();
    if (!application || QThread::currentThread() == application->thread())
        return call();
    if constexpr (std::is_void_v<decltype(call())>) {
        QMetaObject::invokeMethod(application, call, Qt::BlockingQueuedConnection);
    } else {
        decltype(call()) result{};
        QMetaObject::invokeMethod(
            application, [&result, &call] { result = call(); }, Qt::BlockingQueuedConnection);
        return result;
    }
}

} // namespace

ShellPrompt::ShellPrompt(UserPrompt& dialogs, QWidget* mainWindow)
    : m_dialogs(dialogs), m_mainWindow(mainWindow)
{}

void ShellPrompt::adoptFrontWindow()
{
    auto* boxes = dynamic_cast<MessageBoxPrompt*>(&m_dialogs);
    if (!boxes)
        return;
    QWidget* front = QApplication::activeModalWidget();
    boxes->setParentWidget(front ? front : m_mainWindow.data());
}

void ShellPrompt::showMessage(const QString& text)
{
    onInterfaceThread([&] {
        if (m_ending) {
            std::fprintf(stderr, "Zindrel: %s\n", qPrintable(text));
            return;
        }
        adoptFrontWindow();
        m_dialogs.showMessage(text);
    });
}

bool ShellPrompt::askYesNo(const QString& text)
{
    return onInterfaceThread([&] {
        if (m_ending)
            return false;
        adoptFrontWindow();
        return m_dialogs.askYesNo(text);
    });
}

std::optional<QString> ShellPrompt::chooseSaveFile(const SaveFileRequest& request)
{
    return onInterfaceThread([&]() -> std::optional<QString> {
        if (m_ending)
            return std::nullopt;
        adoptFrontWindow();
        return m_dialogs.chooseSaveFile(request);
    });
}

std::optional<QString> ShellPrompt::chooseDataSource()
{
    return onInterfaceThread([&]() -> std::optional<QString> {
        if (m_ending)
            return std::nullopt;
        adoptFrontWindow();
        return m_dialogs.chooseDataSource();
    });
}

std::optional<LoginAnswer> ShellPrompt::askLogin(const LoginRequest& request)
{
    return onInterfaceThread([&]() -> std::optional<LoginAnswer> {
        if (m_ending)
            return std::nullopt;
        adoptFrontWindow();
        return m_dialogs.askLogin(request);
    });
}

} // namespace velkaro

#include "desktop/MessageBoxPrompt.h"

#include "desktop/DataSourceDialog.h"
#include "desktop/LoginDialog.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QThread>
#include <type_traits>

namespace velkaro {

namespace {

// Runs call on the interface thread: directly there, otherwise queued while this thread waits.
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

MessageBoxPrompt::MessageBoxPrompt(QWidget* parent) : m_parent(parent)
{}

int MessageBoxPrompt::exec(const QString& text, int buttons, int icon)
{
    QMessageBox box(static_cast<QMessageBox::Icon>(icon), QCoreApplication::applicationName(), text,
                    static_cast<QMessageBox::StandardButtons>(buttons), m_parent);
    box.setTextFormat(Qt::PlainText); // driver and file texts are never markup
    return box.exec();
}

void MessageBoxPrompt::showMessage(const QString& text)
{
    onInterfaceThread([&] { exec(text, QMessageBox::Ok, QMessageBox::Information); });
}

bool MessageBoxPrompt::askYesNo(const QString& text)
{
    return onInterfaceThread([&] {
        return exec(text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Question) == QMessageBox::Yes;
    });
}

std::optional<QString> MessageBoxPrompt::chooseSaveFile(const SaveFileRequest& request)
{
    return onInterfaceThread([&]() -> std::optional<QString> {
        QFileDialog dialog(m_parent, request.title, request.initialPath, request.filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(request.defaultSuffix);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
        while (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
            const QString path = dialog.selectedFiles().constFirst();
            const QDir folder = QFileInfo(path).absoluteDir();
            if (!request.pathMustExist || folder.exists())
                return path;
            exec(QObject::tr("The folder %1 does not exist.").arg(QDir::toNativeSeparators(folder.path())),
                 QMessageBox::Ok, QMessageBox::Warning);
        }
        return std::nullopt;
    });
}

std::optional<QString> MessageBoxPrompt::chooseDataSource()
{
    return onInterfaceThread([&]() -> std::optional<QString> {
        DataSourceDialog dialog(m_parent);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.connectString();
    });
}

std::optional<LoginAnswer> MessageBoxPrompt::askLogin(const LoginRequest& request)
{
    return onInterfaceThread([&]() -> std::optional<LoginAnswer> {
        LoginDialog dialog(request, m_parent);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.answer();
    });
}

} // namespace velkaro

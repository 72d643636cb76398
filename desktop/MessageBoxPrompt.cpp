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

// The filter that names the default suffix is selected first, so the default type stays the
// default whatever order the filters are listed in.
void selectDefaultFilter(QFileDialog& dialog, const QString& defaultSuffix)
{
    for (const QString& filter : dialog.nameFilters()) {
        if (SaveFileChoice::FilterSuffix(filter).compare(defaultSuffix, Qt::CaseInsensitive) == 0) {
            dialog.selectNameFilter(filter);
            return;
        }
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

void MessageBoxPrompt::ShowMessage(const QString& text)
{
    onInterfaceThread([&] { exec(text, QMessageBox::Ok, QMessageBox::Information); });
}

void MessageBoxPrompt::ShowError(const QString& text)
{
    onInterfaceThread([&] { exec(text, QMessageBox::Ok, QMessageBox::Critical); });
}

bool MessageBoxPrompt::AskYesNo(const QString& text)
{
    return onInterfaceThread([&] {
        return exec(text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Question) == QMessageBox::Yes;
    });
}

std::optional<SaveFileChoice> MessageBoxPrompt::ChooseSaveFile(const SaveFileRequest& request)
{
    return onInterfaceThread([&]() -> std::optional<SaveFileChoice> {
        QFileDialog dialog(m_parent, request.title, request.initialPath, request.filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
        selectDefaultFilter(dialog, request.defaultSuffix);
        // A name typed without an extension gets the one of the type selected, not always the default.
        const auto followFilter = [&dialog, &request](const QString& filter) {
            const QString suffix = SaveFileChoice::FilterSuffix(filter);
            dialog.setDefaultSuffix(suffix.isEmpty() ? request.defaultSuffix : suffix);
        };
        followFilter(dialog.selectedNameFilter());
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, followFilter);
        while (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
            const QString path = dialog.selectedFiles().constFirst();
            const QDir folder = QFileInfo(path).absoluteDir();
            if (!request.pathMustExist || folder.exists())
                return SaveFileChoice{path, dialog.selectedNameFilter()};
            exec(QObject::tr("The folder %1 does not exist.").arg(QDir::toNativeSeparators(folder.path())),
                 QMessageBox::Ok, QMessageBox::Warning);
        }
        return std::nullopt;
    });
}

std::optional<QString> MessageBoxPrompt::ChooseDataSource()
{
    return onInterfaceThread([&]() -> std::optional<QString> {
        DataSourceDialog dialog(m_parent);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.connectString();
    });
}

std::optional<LoginAnswer> MessageBoxPrompt::AskLogin(const LoginRequest& request)
{
    return onInterfaceThread([&]() -> std::optional<LoginAnswer> {
        LoginDialog dialog(request, m_parent);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.answer();
    });
}

} // namespace velkaro

#include "common/ProfileStore.h"
#include "common/SignalForwarder.h"
#include "desktop/MessageBoxPrompt.h"
#include "desktop/ShellPrompt.h"
#include "search/shell/CMainFrame.h"
#include "search/shell/ZindrelHelp.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Halvetic"));
    QCoreApplication::setApplicationName(QStringLiteral("Zindrel"));
    velkaro::InstallZindrelHelp();

    velkaro::ProfileStore store(QStringLiteral("Zindrel"));
    velkaro::MessageBoxPrompt dialogs;
    velkaro::ShellPrompt prompt(dialogs, nullptr);
    velkaro::zindrel::CMainFrame frame(store, prompt);
    prompt.SetMainWindow(&frame);

    velkaro::SignalForwarder terminationSignals;
    QObject::connect(&terminationSignals, &velkaro::SignalForwarder::Received, &frame,
                     &velkaro::zindrel::CMainFrame::EndProgram);

    // Without a window manager "maximized" means nothing: the screen's free area is taken as well.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        frame.setGeometry(screen->availableGeometry());
    frame.showMaximized();
    if (const QString damaged = store.DamagedFileMessage(); !damaged.isEmpty())
        QTimer::singleShot(0, &frame, [&prompt, damaged] { prompt.ShowMessage(damaged); });
    return application.exec();
}

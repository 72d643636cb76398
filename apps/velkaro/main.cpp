#include "common/ProfileStore.h"
#include "desktop/HelpBrowser.h"
#include "desktop/HelpRequests.h"
#include "desktop/MessageBoxPrompt.h"
#include "desktop/ShellPrompt.h"
#include "explorer/shell/CMainFrame.h"
#include "explorer/shell/SignalCloser.h"
#include "resources/VelkaroResources.h"

#include <QApplication>
#include <QIcon>
#include <QPointer>
#include <QUrl>
#include <cstdlib>
#include <memory>

using namespace velkaro;

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Halvetic"));
    QApplication::setApplicationName(QStringLiteral("Velkaro"));
    QApplication::setApplicationDisplayName(QStringLiteral("Velkaro"));
    initVelkaroResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/velkaro.png")));
    HelpBrowser::setGuide(QUrl(QStringLiteral("qrc:/help/velkaro/")), QStringLiteral("Velkaro Help"));

    HelpRequests helpRequests(&CMainFrame::HelpTopicFor);
    SignalCloser signalCloser;
    ProfileStore store(QStringLiteral("Velkaro"));
    MessageBoxPrompt dialogs;
    // A shutdown started by a signal has nobody to click a message box: its messages go to the
    // log and the error output.
    ShellPrompt prompt(dialogs, nullptr);
    QObject::connect(&signalCloser, &SignalCloser::EndRequested, [&prompt] { prompt.SetEnding(); });
    auto frame = std::make_unique<CMainFrame>(store, prompt);
    prompt.SetMainWindow(frame.get());
    prompt.SetEndingLog([window = QPointer<CMainFrame>(frame.get())](const QString& text) {
        if (window)
            window->WriteToLog(text);
    });
    frame->StartUp();
    signalCloser.SetWindow(frame.get());

    const int result = QApplication::exec();
    frame->close();
    if (frame->WorkersStillRunning()) {
        // A worker stuck in a driver call still uses its session: end here, with the settings
        // already written, rather than free what it reaches.
        std::_Exit(result);
    }
    frame.reset();
    return result;
}

// Tries the dialogs by hand in a real window: connects through the data source and login dialogs
// like the programs do, then shows the session's name in a message box.
//   DialogsDemo            (with ODBCSYSINI/ODBCINI pointing at the test configuration)
#include "catalog/CDbSession.h"
#include "desktop/MessageBoxPrompt.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velkaro"));
    velkaro::MessageBoxPrompt prompt;
    velkaro::CDbSession session;
    if (session.Connect(prompt)) {
        prompt.ShowMessage(
            QStringLiteral("Connected to %1 (%2 %3) as %4.")
                .arg(session.DisplayName(), session.DbmsName(), session.DbmsVersion(), session.UserName()));
    }
    return session.ConnectFailed() ? 1 : 0;
}

#include "ShellTesting.h"

#include "RecordingPrompt.h"
#include "common/ProfileStore.h"
#include "search/shell/COmbrakView.h"
#include "search/shell/ParametersDialog.h"

#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QTest>

namespace velkaro::test {

void RemoveZindrelSettings()
{
    const QString file = ProfileStore(QStringLiteral("Zindrel")).FileName();
    QFile::remove(file);
}

void startRun(COmbrakView& view, RecordingPrompt& prompt, const QString& connectString, const QString& text,
              std::function<void(QWidget& dialog)> adjust)
{
    whenModal<ParametersDialog>([&prompt, connectString, text, adjust](ParametersDialog& dialog) {
        if (!connectString.isEmpty()) {
            prompt.dataSourceAnswers.push_back(connectString);
            QTest::mouseClick(child<QPushButton>(&dialog, QStringLiteral("dataSourceButton")),
                              Qt::LeftButton);
        }
        child<QComboBox>(&dialog, QStringLiteral("searchText"))->setEditText(text);
        if (adjust)
            adjust(dialog);
        QTest::mouseClick(child<QPushButton>(&dialog, QStringLiteral("startButton")), Qt::LeftButton);
    });
    view.StartRun();
}

} // namespace velkaro::test

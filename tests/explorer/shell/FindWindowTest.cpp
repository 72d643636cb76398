// Find in the real main window, offscreen: the dialog as the user meets it (Ctrl+F, a blank string,
// the "Look in:" choice), and a column match in a wide table whose list fills in steps.

#include "RecordingPrompt.h"
#include "SqliteFixture.h"
#include "TestDataSources.h"
#include "catalog/CDbSession.h"
#include "common/ProfileStore.h"
#include "explorer/shell/CMainFrame.h"
#include "explorer/views/CFindDlg.h"
#include "explorer/views/CLeftView.h"
#include "explorer/views/CVelkaroView.h"
#include "resources/VelkaroResources.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace velkaro;

namespace {

constexpr int kWideColumns = 600;

QByteArray wideTableScript()
{
    QStringList columns;
    for (int c = 0; c < kWideColumns; ++c)
        columns << QStringLiteral("c%1 INTEGER").arg(c, 3, 10, QLatin1Char('0'));
    return QStringLiteral("CREATE TABLE wide (%1);\n").arg(columns.join(QStringLiteral(", "))).toUtf8();
}

// Runs step on the Find dialog as soon as it is shown; a dialog step leaves open is cancelled.
void whenFindShown(const std::function<void(CFindDlg&)>& step)
{
    QTimer::singleShot(0, qApp, [step] {
        auto* dialog = qobject_cast<CFindDlg*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        step(*dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
}

QString currentRow(const CVelkaroView& list)
{
    return list.currentItem() ? list.currentItem()->text(0) : QString();
}

void typeAndFind(CFindDlg& dialog, const QString& text)
{
    dialog.FindWhat()->lineEdit()->clear();
    QTest::keyClicks(dialog.FindWhat()->lineEdit(), text);
    QTest::keyClick(dialog.FindWhat()->lineEdit(), Qt::Key_Return);
}

} // namespace

class FindWindowTest final : public QObject
{
    Q_OBJECT

private:
    // The window with the sample database and a file holding one wide table.
    void startWindow()
    {
        const test::TestDataSource& sqlite = test::testDataSource(QStringLiteral("sqlite"));
        VELKARO_REQUIRE_DATA_SOURCE(sqlite);
        const QString wide = m_dir->filePath(QStringLiteral("wide.sqlite"));
        QVERIFY(test::buildSqliteFile(wide, wideTableScript()));
        m_frame = std::make_unique<CMainFrame>(*m_store, m_prompt);
        m_frame->StartUp();
        ExplorerHub& hub = m_frame->LeftView()->Hub();
        for (const auto& [alias, connect] :
             {std::pair{QStringLiteral("Wide"), test::sqliteFileConnectString(wide)},
              std::pair{QStringLiteral("Shop"), sqlite.connectString}}) {
            auto session = std::make_shared<CDbSession>();
            session->ConnectByString(connect, m_prompt);
            QVERIFY(!session->ConnectFailed());
            hub.AddDatabase(session, alias, false, true, false);
        }
        QTRY_VERIFY_WITH_TIMEOUT(!hub.CanStop(), 30000);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ProfileStore> m_store;
    test::RecordingPrompt m_prompt;
    std::unique_ptr<CMainFrame> m_frame;

private slots:
    void initTestCase() { initVelkaroResources(); }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_store = std::make_unique<ProfileStore>(QStringLiteral("Velkaro"));
        QFile::remove(m_store->FileName());
        m_store = std::make_unique<ProfileStore>(QStringLiteral("Velkaro"));
        m_store->WriteString(QStringLiteral("Log"), QStringLiteral("File"),
                             m_dir->filePath(QStringLiteral("run")));
        m_prompt = test::RecordingPrompt();
    }
    void cleanup()
    {
        if (m_frame)
            m_frame->close();
        m_frame.reset();
    }

    void dialogOpensWithStoredChoices_data()
    {
        QTest::addColumn<QString>("storedLook");
        QTest::addColumn<QString>("shownLook");
        QTest::newRow("nothing stored: all databases") << QString() << QStringLiteral("Velkaro");
        QTest::newRow("a prefix in other letter case") << QStringLiteral("sh") << QStringLiteral("Shop");
        QTest::newRow("a removed database: all databases")
            << QStringLiteral("Gone") << QStringLiteral("Velkaro");
    }
    void dialogOpensWithStoredChoices()
    {
        QFETCH(QString, storedLook);
        QFETCH(QString, shownLook);
        m_store->WriteString(QStringLiteral("Find"), QStringLiteral("Look"), storedLook);
        m_store->WriteInt(QStringLiteral("Find"), QStringLiteral("Match"), 1);
        m_store->WriteInt(QStringLiteral("Find"), QStringLiteral("FC"), 0);
        startWindow();
        QStringList lookIn;
        QStringList checked;
        whenFindShown([&](CFindDlg& dialog) {
            for (int entry = 0; entry < dialog.LookIn()->count(); ++entry)
                lookIn << dialog.LookIn()->itemText(entry);
            QCOMPARE(dialog.LookIn()->currentText(), shownLook);
            for (const QCheckBox* box : dialog.findChildren<QCheckBox*>())
                checked << box->text() + (box->isChecked() ? QLatin1Char('+') : QLatin1Char('-'));
        });
        QTest::keyClick(m_frame.get(), Qt::Key_F, Qt::ControlModifier);
        // The aliases in the order they were added, not the tree's.
        QCOMPARE(lookIn,
                 (QStringList{QStringLiteral("Velkaro"), QStringLiteral("Wide"), QStringLiteral("Shop")}));
        checked.sort();
        QCOMPARE(checked,
                 (QStringList{QStringLiteral("Column Names-"), QStringLiteral("Database Names+"),
                              QStringLiteral("Index Column Names+"), QStringLiteral("Index Names+"),
                              QStringLiteral("Match whole word only+"), QStringLiteral("Object Names+")}));
    }

    void blankStringIsRefusedAndTheDialogStaysOpen()
    {
        startWindow();
        bool stayedOpen = false;
        whenFindShown([&](CFindDlg& dialog) {
            typeAndFind(dialog, QStringLiteral("  \t "));
            stayedOpen = dialog.isVisible();
        });
        QTest::keyClick(m_frame.get(), Qt::Key_F, Qt::ControlModifier);
        QVERIFY(stayedOpen);
        QCOMPARE(m_prompt.messages, QStringList{QStringLiteral("Please enter a string to search for.")});
        QCOMPARE(m_frame->LeftView()->Hub().GetFindHistory().Strings(), QStringList());
    }

    void columnMatchSelectsItsRowOnceTheListIsFilled()
    {
        startWindow();
        whenFindShown([](CFindDlg& dialog) {
            dialog.LookIn()->setCurrentText(QStringLiteral("Wide"));
            typeAndFind(dialog, QStringLiteral("55"));
        });
        QTest::keyClick(m_frame.get(), Qt::Key_F, Qt::ControlModifier);
        CVelkaroView& list = *m_frame->ListView();
        QCOMPARE(m_frame->LeftView()->currentItem()->text(0), QStringLiteral("wide"));
        // The list fills in steps: the match's row is selected once it is there.
        QVERIFY(list.FillInProgress());
        QTRY_VERIFY(!list.FillInProgress());
        QCOMPARE(list.topLevelItemCount(), kWideColumns);
        QCOMPARE(currentRow(list), QStringLiteral("c055"));
        QVERIFY(list.currentItem()->isSelected());
        QCOMPARE(m_store->ReadString(QStringLiteral("Find"), QStringLiteral("Look"), QString()),
                 QStringLiteral("Wide"));

        // The dialog was the active window; the shortcuts answer in the main window.
        m_frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_frame.get()));
        QTest::keyClick(m_frame.get(), Qt::Key_F3);
        QTRY_COMPARE(currentRow(list), QStringLiteral("c155"));
        for (const char* next : {"c255", "c355", "c455", "c550"}) {
            QTest::keyClick(m_frame.get(), Qt::Key_F3);
            QTRY_COMPARE(currentRow(list), QString::fromLatin1(next));
        }
        QCOMPARE(m_prompt.messages, QStringList());
    }

    void findCommandsAreInTheMenus()
    {
        startWindow();
        const CMainFrame::Commands& c = m_frame->GetCommands();
        QVERIFY(m_frame->ContextMenu()->actions().contains(c.find));
        QVERIFY(m_frame->ContextMenu()->actions().contains(c.findNext));
        QVERIFY(c.find->isEnabled() && c.findNext->isEnabled());
        // Find Next with no search in progress opens the dialog.
        bool opened = false;
        whenFindShown([&](CFindDlg& dialog) { opened = dialog.FindWhat()->currentText().isEmpty(); });
        c.findNext->trigger();
        QVERIFY(opened);
    }
};

QTEST_MAIN(FindWindowTest)
#include "FindWindowTest.moc"

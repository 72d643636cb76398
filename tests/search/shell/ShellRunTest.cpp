#include "RecordingPrompt.h"
#include "ShellTesting.h"
#include "TestDataSources.h"
#include "common/ProfileStore.h"
#include "desktop/MessageBoxPrompt.h"
#include "desktop/ShellPrompt.h"
#include "search/engine/DirectReportWriter.h"
#include "search/shell/CMainFrame.h"
#include "search/shell/COmbrakView.h"
#include "search/shell/ControlPanel.h"
#include "search/shell/ReportFindDialog.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace velkaro;
using velkaro::test::child;
using velkaro::test::RecordingPrompt;

Q_DECLARE_METATYPE(velkaro::OutputMode)

namespace {

constexpr int kRunTimeout = 60000;

// A second connection that holds a lock, so that a run waits where the test wants it.
class Lock final
{
public:
    Lock(const QString& connectString, const QStringList& statements)
    {
        RecordingPrompt prompt;
        m_ok = m_session.ConnectByString(connectString, prompt);
        for (const QString& sql : statements)
            m_ok = m_ok && execute(sql);
    }
    ~Lock() { release(); }

    bool isHeld() const { return m_ok; }
    void release()
    {
        if (m_ok)
            execute(QStringLiteral("ROLLBACK"));
        m_ok = false;
    }

private:
    bool execute(const QString& sql)
    {
        SQLHSTMT statement = SQL_NULL_HSTMT;
        const QString error = m_session.ExecuteQuery(statement, sql);
        if (!error.isEmpty()) {
            qWarning("%s: %s", qPrintable(sql), qPrintable(error));
            return false;
        }
        m_session.CloseQuery(statement);
        return true;
    }

    CDbSession m_session{SessionVariant::Search};
    bool m_ok = false;
};

} // namespace

class ShellRunTest final : public QObject
{
    Q_OBJECT

private:
    void fillReport(const QStringList& lines)
    {
        DirectReportWriter writer(m_frame->View()->Report());
        writer.Reset(m_frame->View()->Parameters());
        for (const QString& line : lines)
            writer.AppendReport(line + QStringLiteral("\r\n"), ReportColor::Text);
    }

    QString reportText() const { return m_frame->View()->Report().Document().toPlainText(); }
    bool enabled(const char* action) const { return m_frame->Action(QLatin1String(action))->isEnabled(); }
    void waitForRunEnd()
    {
        QTRY_VERIFY_WITH_TIMEOUT(!m_frame->View()->IsRunActive(), kRunTimeout);
        QTRY_COMPARE(m_frame->windowTitle(), "Ready - Zindrel");
    }

    // A copy of the SQLite sample, so that a lock on it holds no one else up.
    QString sqliteCopy()
    {
        const QString file = m_folder->filePath(QStringLiteral("shop.sqlite"));
        QFile::remove(file);
        const QString sample =
            QString::fromLocal8Bit(qgetenv("VELKARO_ODBC_DIR")) + QStringLiteral("/shop.sqlite");
        if (!QFile::copy(sample, file))
            return QString();
        return QStringLiteral("DRIVER=SQLite3;Database=%1;Timeout=100000").arg(file);
    }

    RecordingPrompt m_answers;
    std::unique_ptr<ShellPrompt> m_prompt;
    std::unique_ptr<ProfileStore> m_store;
    std::unique_ptr<zindrel::CMainFrame> m_frame;
    std::unique_ptr<QTemporaryDir> m_folder;

private slots:
    void init()
    {
        test::RemoveZindrelSettings();
        m_answers = RecordingPrompt();
        m_folder = std::make_unique<QTemporaryDir>();
        m_prompt = std::make_unique<ShellPrompt>(m_answers, nullptr);
        m_store = std::make_unique<ProfileStore>(QStringLiteral("Zindrel"));
        m_frame = std::make_unique<zindrel::CMainFrame>(*m_store, *m_prompt);
        m_frame->show();
    }

    void cleanup()
    {
        m_frame->View()->EndForShutdown();
        m_frame.reset();
        m_store.reset();
        m_prompt.reset();
    }

    void wholeRunOnSqlite()
    {
        const test::TestDataSource& source = test::testDataSource("sqlite");
        VELKARO_REQUIRE_DATA_SOURCE(source);
        QCOMPARE(m_frame->windowTitle(), "Untitled - Zindrel");
        QCOMPARE(m_frame->DataSourcePaneText(), "Database:    Not available                   ");
        COmbrakView* view = m_frame->View();
        test::startRun(*view, m_answers, source.connectString, QStringLiteral("needle-4711"));
        QVERIFY(view->IsRunActive());
        ControlPanel* panel = view->GetControlPanel();
        QVERIFY(panel && panel->isVisible());

        // Nothing has been handed back to the event loop yet: the run is certainly active.
        view->StartRun();
        panel->close();
        QCOMPARE(
            m_answers.messages,
            (QStringList{"You cannot start another Zindrel before the previuos one ends.\nPress the <stop> "
                         "icon to terminate the current Zindrel",
                         "Please wait until Zindrel is finished to close the control panel."}));
        QVERIFY(panel->isVisible());

        waitForRunEnd();
        QCOMPARE(m_answers.messages.last(), "Zindrel has finished searching the database");
        const QString report = reportText();
        QVERIFY(report.contains(QStringLiteral("SEARCHING FOR :  needle-4711")));
        QVERIFY(report.contains(QStringLiteral("TOTAL NUMBER OF INSTANCES FOUND: ")));
        QVERIFY(report.contains(QStringLiteral("--- End of Zindrel --- Elapsed Time: ")));
        QVERIFY(report.count(QStringLiteral("needle-4711")) >= 2); // the header and the planted row
        QVERIFY(m_frame->DataSourcePaneText().startsWith(QStringLiteral("Database:    ")));
        QVERIFY(!m_frame->DataSourcePaneText().contains(QStringLiteral("Not available")));

        QVERIFY(panel->ObjectList()->count() > 5);
        for (SearchProgressBar bar : {SearchProgressBar::Objects, SearchProgressBar::ColumnsAndTypes,
                                      SearchProgressBar::Indexes, SearchProgressBar::Data})
            QVERIFY2(panel->ProgressBar(bar)->value() == panel->ProgressBar(bar)->maximum(),
                     qPrintable(QStringLiteral("bar %1: %2 of %3")
                                    .arg(int(bar))
                                    .arg(panel->ProgressBar(bar)->value())
                                    .arg(panel->ProgressBar(bar)->maximum())));
        for (const char* action : {"actionPause", "actionResume", "actionSkip", "actionStop"})
            QVERIFY2(!enabled(action), action);
        for (const char* button : {"playButton", "skipButton", "pauseButton", "stopButton"})
            QVERIFY2(!child<QPushButton>(panel, QLatin1String(button))->isEnabled(), button);
        QVERIFY(!view->Report().IsReportSaved());

        // After the run the panel closes, and the next Start offers the last string.
        panel->close();
        QTRY_VERIFY(!view->GetControlPanel());
        test::whenModal<QDialog>([](QDialog& dialog) {
            QCOMPARE(child<QComboBox>(&dialog, "searchText")->currentText(), "needle-4711");
            dialog.reject();
        });
        view->StartRun();
    }

    void pauseResumeAndStop()
    {
        VELKARO_REQUIRE_DATA_SOURCE(test::testDataSource("sqlite"));
        const QString connectString = sqliteCopy();
        QVERIFY(!connectString.isEmpty());
        COmbrakView* view = m_frame->View();
        test::startRun(*view, m_answers, connectString, QStringLiteral("needle-4711"));
        view->EndForShutdown(); // the catalog is read from the copy now; lock it for the next run
        m_answers.messages.clear();
        Lock lock(connectString, {QStringLiteral("BEGIN EXCLUSIVE")});
        QVERIFY(lock.isHeld());

        test::startRun(*view, m_answers, QString(), QStringLiteral("needle-4711"));
        QCOMPARE(m_answers.questions.size(), 1); // the first run's report: not saved (No)
        m_answers.questions.clear();
        ControlPanel* panel = view->GetControlPanel();
        QTRY_COMPARE(m_frame->windowTitle(), "Analyzing Database - Zindrel"); // held by the lock
        QVERIFY(enabled("actionPause") && enabled("actionStop"));
        QVERIFY(!enabled("actionResume") && !enabled("actionSkip"));

        QTest::mouseClick(child<QPushButton>(panel, "pauseButton"), Qt::LeftButton);
        QTRY_COMPARE(m_frame->windowTitle(), "Paused - Zindrel");
        QVERIFY(enabled("actionResume") && !enabled("actionPause") && !enabled("actionSkip"));
        QVERIFY(child<QPushButton>(panel, "playButton")->isEnabled());
        QVERIFY(!child<QPushButton>(panel, "skipButton")->isEnabled());

        m_frame->Action(QStringLiteral("actionResume"))->trigger();
        QTRY_COMPARE(m_frame->windowTitle(), "Analyzing Database - Zindrel");
        QVERIFY(enabled("actionPause"));

        // Stop asks first; No changes nothing, Yes ends the run at its next check, also when paused.
        m_frame->Action(QStringLiteral("actionPause"))->trigger();
        m_answers.yesNoAnswers = {false};
        m_frame->Action(QStringLiteral("actionStop"))->trigger();
        QCOMPARE(m_answers.questions.size(), 1);
        QVERIFY(m_answers.questions.first().startsWith(QStringLiteral("You won't be able to resume")));
        QVERIFY(enabled("actionStop"));
        m_answers.yesNoAnswers = {true};
        QTest::mouseClick(child<QPushButton>(panel, "stopButton"), Qt::LeftButton);
        QVERIFY(!enabled("actionStop") && !enabled("actionPause") && !enabled("actionResume"));
        QVERIFY(view->IsRunActive());
        lock.release();

        waitForRunEnd();
        QVERIFY(reportText().contains(QStringLiteral("Zindrel Stopped ...")));
        QVERIFY(!reportText().contains(QStringLiteral("TOTAL NUMBER OF INSTANCES FOUND")));
        QVERIFY(m_answers.messages.contains(QStringLiteral("Zindrel has been stopped.")));
        QVERIFY(!view->Report().IsReportSaved());
    }

    void skipOnlyInTheDataPhase()
    {
        const test::TestDataSource& source = test::testDataSource("postgres");
        VELKARO_REQUIRE_DATA_SOURCE(source);
        // Reading customers waits for the lock; the catalog calls do not.
        Lock lock(source.connectString,
                  {QStringLiteral("BEGIN"),
                   QStringLiteral("LOCK TABLE public.customers IN ACCESS EXCLUSIVE MODE")});
        QVERIFY(lock.isHeld());
        COmbrakView* view = m_frame->View();
        test::startRun(*view, m_answers, source.connectString, QStringLiteral("needle-4711"));
        ControlPanel* panel = view->GetControlPanel();
        QTRY_VERIFY_WITH_TIMEOUT(enabled("actionSkip"), kRunTimeout);
        QCOMPARE(m_frame->windowTitle(), "Searching Data - Zindrel");
        QVERIFY(child<QPushButton>(panel, "skipButton")->isEnabled());

        m_frame->Action(QStringLiteral("actionPause"))->trigger();
        QTRY_COMPARE(m_frame->windowTitle(), "Paused - Zindrel");
        QVERIFY(!enabled("actionSkip"));
        QVERIFY(!child<QPushButton>(panel, "skipButton")->isEnabled());
        m_frame->Action(QStringLiteral("actionResume"))->trigger();
        QTRY_COMPARE(m_frame->windowTitle(), "Searching Data - Zindrel");
        QVERIFY(enabled("actionSkip"));

        QTest::mouseClick(child<QPushButton>(panel, "skipButton"), Qt::LeftButton);
        lock.release();
        waitForRunEnd();
        QVERIFY(reportText().contains(QStringLiteral("TOTAL NUMBER OF INSTANCES FOUND: ")));
    }

    void exitDuringARunAsksToStop()
    {
        VELKARO_REQUIRE_DATA_SOURCE(test::testDataSource("sqlite"));
        const QString connectString = sqliteCopy();
        COmbrakView* view = m_frame->View();
        test::startRun(*view, m_answers, connectString, QStringLiteral("needle-4711"));
        view->EndForShutdown();
        auto lock = std::make_shared<Lock>(connectString, QStringList{QStringLiteral("BEGIN EXCLUSIVE")});
        QVERIFY(lock->isHeld());
        test::startRun(*view, m_answers, QString(), QStringLiteral("needle-4711"));
        m_answers.questions.clear();

        m_answers.yesNoAnswers = {false};
        QVERIFY(!m_frame->close());
        QVERIFY(m_frame->isVisible() && view->IsRunActive());

        // Yes: the run is stopped and joined (the lock goes meanwhile); then the unsaved report
        // is offered for saving, and No lets the window close.
        m_answers.yesNoAnswers = {true, false};
        QTimer::singleShot(200, [lock] { lock->release(); });
        QVERIFY(m_frame->close());
        QVERIFY(!view->IsRunActive());
        QCOMPARE(m_answers.questions.size(), 3);
        QVERIFY(m_answers.questions.last().contains(QStringLiteral("save")));
        QVERIFY(reportText().contains(QStringLiteral("Zindrel Stopped ...")));
    }

    void reportToAFile_data()
    {
        QTest::addColumn<OutputMode>("mode");
        QTest::newRow("complete report to a file") << OutputMode::CompleteToFile;
        QTest::newRow("incremental auto-save every 5 lines") << OutputMode::IncrementalAutoSave;
    }

    // The options chosen before Start reach the run, and a report already in its file lets the
    // window close without a question.
    void reportToAFile()
    {
        QFETCH(OutputMode, mode);
        const test::TestDataSource& source = test::testDataSource("sqlite");
        VELKARO_REQUIRE_DATA_SOURCE(source);
        COmbrakView* view = m_frame->View();
        const QString file = m_folder->filePath(QStringLiteral("run.txt"));
        view->Parameters().outputMode = mode;
        view->Parameters().reportFileName = file;
        view->Parameters().autoSaveLines = 5;
        test::startRun(*view, m_answers, source.connectString, QStringLiteral("needle-4711"));
        waitForRunEnd();
        QFile saved(file);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QString written = QString::fromUtf8(saved.readAll());
        QVERIFY(written.contains(QStringLiteral("SEARCHING FOR :  needle-4711")));
        QVERIFY(written.contains(QStringLiteral("--- End of Zindrel --- Elapsed Time: ")));
        if (mode == OutputMode::CompleteToFile)
            QVERIFY(reportText().startsWith(
                QStringLiteral("Output of this search is being written to file: ") + file));
        QVERIFY(view->Report().IsReportSaved());
        m_answers.questions.clear();
        QVERIFY(m_frame->close());
        QVERIFY(m_answers.questions.isEmpty());
    }

    void closeOffersToSave_data()
    {
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<bool>("chooseFile");
        QTest::addColumn<bool>("closes");
        QTest::newRow("no: closes without saving") << QList<bool>{false} << false << true;
        QTest::newRow("yes, file dialog cancelled: stays") << QList<bool>{true} << false << false;
        QTest::newRow("yes, saved: closes") << QList<bool>{true} << true << true;
    }

    void closeOffersToSave()
    {
        QFETCH(QList<bool>, answers);
        QFETCH(bool, chooseFile);
        QFETCH(bool, closes);
        fillReport({QStringLiteral("first line"), QStringLiteral("second line")});
        const QString file = m_folder->filePath(QStringLiteral("kept.txt"));
        m_answers.yesNoAnswers.assign(answers.begin(), answers.end());
        m_answers.saveFileAnswers.push_back(chooseFile ? std::optional<QString>(file) : std::nullopt);
        QCOMPARE(m_frame->close(), closes);
        QCOMPARE(m_answers.questions.size(), 1);
        QCOMPARE(QFile::exists(file), chooseFile);
        QVERIFY(reportText().contains(QStringLiteral("second line")));
        QCOMPARE(m_frame->View()->Report().IsReportSaved(), chooseFile);
    }

    void savedReportClosesWithoutAsking()
    {
        fillReport({QStringLiteral("line")});
        m_answers.saveFileAnswers.push_back(m_folder->filePath(QStringLiteral("r.txt")));
        m_frame->Action(QStringLiteral("actionSaveReport"))->trigger();
        QVERIFY(m_frame->close());
        QVERIFY(m_answers.questions.isEmpty());
    }

    // Through the real chooser, as a user saves: the RTF type picked in its list and a name typed
    // without an extension.
    void saveReportAsTheTypeChosenInTheDialog()
    {
        MessageBoxPrompt dialogs;
        ShellPrompt prompt(dialogs, nullptr);
        zindrel::CMainFrame frame(*m_store, prompt);
        frame.show();
        DirectReportWriter writer(frame.View()->Report());
        writer.Reset(frame.View()->Parameters());
        writer.AppendReport(QStringLiteral("DATABASE :  shop\r\n"), ReportColor::Text);
        const QString folder = m_folder->path();
        test::whenModal<QFileDialog>([folder](QFileDialog& chooser) {
            chooser.setDirectory(folder);
            auto* types = child<QComboBox>(&chooser, QStringLiteral("fileTypeCombo"));
            QCOMPARE(types->currentText(), QStringLiteral("Text Format (*.txt)"));
            types->setFocus();
            QTest::keyClick(types, Qt::Key_Up);
            QCOMPARE(types->currentText(), QStringLiteral("RTF Format (*.rtf)"));
            auto* name = child<QLineEdit>(&chooser, QStringLiteral("fileNameEdit"));
            name->setFocus();
            name->setText(QStringLiteral("report"));
            static_cast<QDialog&>(chooser).accept(); // QFileDialog::accept, which reads the name field
        });
        frame.Action(QStringLiteral("actionSaveReport"))->trigger();
        QFile saved(m_folder->filePath(QStringLiteral("report.rtf")));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QVERIFY(saved.readAll().startsWith("{\\rtf1"));
        QVERIFY(!QFile::exists(m_folder->filePath(QStringLiteral("report.txt"))));
        QVERIFY(frame.View()->Report().IsReportSaved());
        frame.View()->EndForShutdown();
    }

    void saveReport_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("savedAs");
        QTest::addColumn<bool>("rtf");
        const QString rtfType = QStringLiteral("RTF Format (*.rtf)");
        const QString textType = QStringLiteral("Text Format (*.txt)");
        QTest::newRow("report.rtf: rich text") << "report.rtf" << textType << "report.rtf" << true;
        QTest::newRow("REPORT.RTF: rich text") << "REPORT.RTF" << textType << "REPORT.RTF" << true;
        QTest::newRow("report.txt: plain text") << "report.txt" << rtfType << "report.txt" << false;
        QTest::newRow("no extension, text type: plain text, .txt added")
            << "report" << textType << "report.txt" << false;
        QTest::newRow("no extension, RTF type: rich text, .rtf added")
            << "report" << rtfType << "report.rtf" << true;
        QTest::newRow("other extension, RTF type: rich text")
            << "report.doc" << rtfType << "report.doc" << true;
    }

    void saveReport()
    {
        QFETCH(QString, name);
        QFETCH(QString, filter);
        QFETCH(QString, savedAs);
        QFETCH(bool, rtf);
        fillReport({QStringLiteral("DATABASE :  shop"), QStringLiteral("Größe <b>x</b>")});
        const QString file = m_folder->filePath(savedAs);
        m_answers.saveFileAnswers.push_back(m_folder->filePath(name));
        m_answers.saveFileFilters.push_back(filter);
        QCOMPARE(m_frame->Action(QStringLiteral("actionSaveReport"))->shortcut(),
                 QKeySequence(QStringLiteral("Ctrl+S")));
        m_frame->Action(QStringLiteral("actionSaveReport"))->trigger();
        QCOMPARE(m_answers.saveFileRequests.size(), 1);
        QCOMPARE(m_answers.saveFileRequests.first().defaultSuffix, "txt");
        QFile saved(file);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QByteArray bytes = saved.readAll();
        if (rtf) {
            QVERIFY(bytes.startsWith("{\\rtf1"));
            QVERIFY(bytes.contains("Gr\\u246?\\u223?e"));
        } else {
            QCOMPARE(QString::fromUtf8(bytes), "DATABASE :  shop\r\nGröße <b>x</b>\r\n");
        }
        QVERIFY(m_frame->View()->Report().IsReportSaved());
        QVERIFY(m_answers.messages.isEmpty());
    }

    void findWrapsAround_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<QList<int>>("lines"); // the line of each successful Find Next, in turn
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("two hits, then from the top")
            << "needle" << false << QList<int>{1, 3, 1} << QStringList();
        QTest::newRow("case kept") << "Needle" << true << QList<int>{3, 3} << QStringList();
        QTest::newRow("absent") << "haystack" << false << QList<int>{}
                                << QStringList{"Could not find specified text"};
    }

    void findWrapsAround()
    {
        QFETCH(QString, text);
        QFETCH(bool, matchCase);
        QFETCH(QList<int>, lines);
        QFETCH(QStringList, messages);
        fillReport({QStringLiteral("first"), QStringLiteral("a needle here"), QStringLiteral("third"),
                    QStringLiteral("Needle again")});
        m_frame->Action(QStringLiteral("actionFind"))->trigger();
        ReportFindDialog* dialog = m_frame->View()->FindDialog();
        QVERIFY(dialog && dialog->isVisible());
        child<QLineEdit>(dialog, "findText")->setText(text);
        child<QCheckBox>(dialog, "matchCase")->setChecked(matchCase);
        m_answers.yesNoAnswers = {true, true, true};
        auto* findNext = child<QPushButton>(dialog, "findNextButton");
        for (int line : lines) {
            QTest::mouseClick(findNext, Qt::LeftButton);
            const QTextCursor selection = m_frame->View()->textCursor();
            QCOMPARE(selection.selectedText().toLower(), text.toLower());
            QCOMPARE(selection.blockNumber(), line);
        }
        if (lines.isEmpty())
            QTest::mouseClick(findNext, Qt::LeftButton);
        QCOMPARE(m_answers.messages, messages);
        // A wrap asks first; the first search after opening never does.
        const int wraps = lines.size() > 1 && lines.last() <= lines.at(lines.size() - 2) ? 1 : 0;
        QCOMPARE(m_answers.questions.size(), wraps);
    }
};

QTEST_MAIN(ShellRunTest)
#include "ShellRunTest.moc"

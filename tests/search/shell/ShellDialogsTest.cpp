#include "RecordingPrompt.h"
#include "ShellTesting.h"
#include "TestDataSources.h"
#include "common/ProfileStore.h"
#include "desktop/HelpBrowser.h"
#include "search/shell/CAdvancedSheet.h"
#include "search/shell/CPropColumns.h"
#include "search/shell/CPropTables.h"
#include "search/shell/ControlPanel.h"
#include "search/shell/GeneralOptionsDialog.h"
#include "search/shell/ParametersDialog.h"
#include "search/shell/SearchConnection.h"
#include "search/shell/ShellSearchHost.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>
#include <thread>

using namespace velkaro;
using velkaro::test::child;
using velkaro::test::RecordingPrompt;

namespace {

QStringList selectedNames(const QListWidget* list)
{
    QStringList names;
    for (const QListWidgetItem* item : list->selectedItems())
        names.append(item->text());
    names.sort();
    return names;
}

} // namespace

class ShellDialogsTest final : public QObject
{
    Q_OBJECT

private:
    // Connects through the data source button, as the user does.
    void connect(SearchConnection& connection, const QString& key)
    {
        const test::TestDataSource& source = test::testDataSource(key);
        m_prompt.dataSourceAnswers.push_back(source.connectString);
        QVERIFY(connection.Choose(m_prompt));
    }

    RecordingPrompt m_prompt;

private slots:
    void init()
    {
        m_prompt = RecordingPrompt();
        test::RemoveZindrelSettings();
    }

    void firstStartShowsTheDefaults()
    {
        ProfileStore store(QStringLiteral("Zindrel"));
        SearchParameters parameters;
        parameters.Load(store);
        SearchConnection connection;
        ParametersDialog dialog(parameters, connection, m_prompt);
        for (const char* name :
             {"searchObjectNames", "searchColumnNames", "searchDataTypes", "searchIndexes", "searchData"})
            QVERIFY2(child<QCheckBox>(&dialog, QLatin1String(name))->isChecked(), name);
        QVERIFY(child<QRadioButton>(&dialog, "anySubstring")->isChecked());
        QVERIFY(!child<QCheckBox>(&dialog, "matchCase")->isChecked());
        QVERIFY(child<QCheckBox>(&dialog, "searchIndexNames")->isHidden());
        QCOMPARE(child<QPushButton>(&dialog, "dataSourceButton")->text(), "Press to select Database");
        QCOMPARE(child<QComboBox>(&dialog, "searchText")->currentText(), QString());

        GeneralOptionsDialog general(parameters, m_prompt);
        QCOMPARE(child<QLineEdit>(&general, "autoSaveLines")->text(), "500");
        QVERIFY(child<QRadioButton>(&general, "toScreen")->isChecked());
        QVERIFY(child<QRadioButton>(&general, "dbmsTypes")->isChecked());
        QVERIFY(child<QRadioButton>(&general, "autoDetect")->isChecked());
        QVERIFY(child<QCheckBox>(&general, "ownedByUser")->isHidden());
        auto* systemObjects = child<QCheckBox>(&general, "systemObjects");
        QCOMPARE(systemObjects->text(), "Include system tables and schemas");
        QVERIFY(!systemObjects->isChecked() && !systemObjects->isHidden());
        systemObjects->setChecked(true);
        auto* serverFilter = child<QCheckBox>(&general, "serverFilter");
        QCOMPARE(serverFilter->text(), "Let the server filter rows");
        QVERIFY(serverFilter->isChecked() && !serverFilter->isHidden());
        serverFilter->setChecked(false);
        SearchParameters taken;
        general.ApplyTo(taken);
        QVERIFY(taken.searchSystemObjects);
        QVERIFY(!taken.serverFilter);
    }

    void lastSearchAndHistoryComeBack()
    {
        SearchParameters parameters;
        parameters.AcceptSearchText(QStringLiteral("older"));
        parameters.AcceptSearchText(QStringLiteral("needle-4711"));
        SearchConnection connection;
        ParametersDialog dialog(parameters, connection, m_prompt);
        auto* combo = child<QComboBox>(&dialog, "searchText");
        QCOMPARE(combo->currentText(), "needle-4711");
        QCOMPARE(combo->count(), 2);
        QCOMPARE(combo->itemText(1), "older");
    }

    void startIsValidated_data()
    {
        QTest::addColumn<bool>("connected");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("terms");
        QTest::newRow("no database") << false << "abc"
                                     << "You must select a database before you can begin." << QStringList();
        QTest::newRow("only spaces") << true << "   "
                                     << "You must enter a string to search for before you can begin."
                                     << QStringList();
        QTest::newRow("empty") << true << ""
                               << "You must enter a string to search for before you can begin."
                               << QStringList();
        QTest::newRow("leading space kept") << true << " abc" << QString() << QStringList{" abc"};
        QTest::newRow("alternatives split") << true << "red|a\\|b" << QString() << QStringList{"red", "a|b"};
        const QString onlyBars = "The search text holds only \"|\", which separates alternatives: there is "
                                 "nothing to search for. To search for a bar, write \\|.";
        QTest::newRow("a bar alone") << true << "|" << onlyBars << QStringList();
        QTest::newRow("bars and blanks only") << true << " || " << onlyBars << QStringList();
        QTest::newRow("an escaped bar searches a bar") << true << "\\|" << QString() << QStringList{"|"};
    }

    void startIsValidated()
    {
        QFETCH(bool, connected);
        QFETCH(QString, text);
        QFETCH(QString, message);
        QFETCH(QStringList, terms);
        SearchConnection connection;
        if (connected) {
            VELKARO_REQUIRE_DATA_SOURCE(test::testDataSource("sqlite"));
            connect(connection, QStringLiteral("sqlite"));
        }
        SearchParameters parameters;
        ParametersDialog dialog(parameters, connection, m_prompt);
        dialog.show();
        child<QComboBox>(&dialog, "searchText")->setEditText(text);
        child<QRadioButton>(&dialog, "suffix")->setChecked(true);
        QTest::mouseClick(child<QPushButton>(&dialog, "startButton"), Qt::LeftButton);
        if (!message.isEmpty()) {
            QCOMPARE(m_prompt.messages, QStringList{message});
            QVERIFY(dialog.isVisible());
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
            return;
        }
        QVERIFY(m_prompt.messages.isEmpty());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        // The parameters change only when the run takes the dialog's values.
        QCOMPARE(parameters.matchMode, MatchMode::AnySubstring);
        dialog.ApplyTo(parameters);
        QCOMPARE(parameters.searchTerms, terms);
        QCOMPARE(parameters.searchText, text);
        QCOMPARE(parameters.matchMode, MatchMode::Suffix);
        QCOMPARE(parameters.searchHistory.Newest(), text);
    }

    void advancedNeedsADatabase()
    {
        SearchParameters parameters;
        SearchConnection connection;
        ParametersDialog dialog(parameters, connection, m_prompt);
        QTest::mouseClick(child<QPushButton>(&dialog, "advancedButton"), Qt::LeftButton);
        QCOMPARE(m_prompt.messages,
                 QStringList{"You must select a database before you can setup the advanced options."});
    }

    void helpOpensTheGuideAtTheTopic()
    {
        SearchParameters parameters;
        SearchConnection connection;
        ParametersDialog dialog(parameters, connection, m_prompt);
        QTest::mouseClick(child<QPushButton>(&dialog, "helpButton"), Qt::LeftButton);
        HelpBrowser* guide = nullptr;
        for (QWidget* window : QApplication::topLevelWidgets())
            guide = guide ? guide : qobject_cast<HelpBrowser*>(window);
        QVERIFY(guide && guide->isVisible());
        QCOMPARE(guide->currentPage().fileName(), "parameters.html");
        QVERIFY(guide->browser()->toPlainText().contains(QStringLiteral("Enter string to search for")));
        HelpBrowser::closeHelp();
    }

    void failedConnectionLeavesTheButton()
    {
        SearchParameters parameters;
        SearchConnection connection;
        ParametersDialog dialog(parameters, connection, m_prompt);
        m_prompt.dataSourceAnswers.push_back(std::nullopt); // the user cancels
        QTest::mouseClick(child<QPushButton>(&dialog, "dataSourceButton"), Qt::LeftButton);
        QCOMPARE(child<QPushButton>(&dialog, "dataSourceButton")->text(), "Press to select Database");
        QVERIFY(!connection.IsConnected());
    }

    void generalOptionsEnabling_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<bool>("nameEnabled");
        QTest::addColumn<bool>("linesEnabled");
        QTest::newRow("screen: no file controls") << "toScreen" << false << false;
        QTest::newRow("complete to file: name only") << "toFile" << true << false;
        QTest::newRow("incremental: name and portion") << "incremental" << true << true;
    }

    void generalOptionsEnabling()
    {
        QFETCH(QString, mode);
        QFETCH(bool, nameEnabled);
        QFETCH(bool, linesEnabled);
        SearchParameters parameters;
        parameters.outputMode = OutputMode::IncrementalAutoSave; // every control enabled at first
        GeneralOptionsDialog dialog(parameters, m_prompt);
        child<QRadioButton>(&dialog, mode)->setChecked(true);
        QCOMPARE(child<QGroupBox>(&dialog, "autoSaveGroup")->isEnabled(), nameEnabled);
        QCOMPARE(child<QLineEdit>(&dialog, "reportName")->isEnabled(), nameEnabled);
        QCOMPARE(child<QPushButton>(&dialog, "browseButton")->isEnabled(), nameEnabled);
        QCOMPARE(child<QLineEdit>(&dialog, "autoSaveLines")->isEnabled(), linesEnabled);
    }

    void generalOptionsChecks_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("lines");
        QTest::addColumn<QString>("message");
        const QString noName = QStringLiteral("Please enter a file name to save report");
        const QString range = QStringLiteral("Please enter an integer between 1 and 999999.");
        QTest::newRow("file mode without name") << "toFile"
                                                << ""
                                                << "500" << noName;
        QTest::newRow("incremental, name of spaces") << "incremental"
                                                     << "   "
                                                     << "500" << noName;
        QTest::newRow("screen needs no name") << "toScreen"
                                              << ""
                                              << "500" << QString();
        QTest::newRow("portion of 0 lines") << "incremental"
                                            << "r.txt"
                                            << "0" << range;
        QTest::newRow("portion above the range") << "incremental"
                                                 << "r.txt"
                                                 << "1000000" << range;
        QTest::newRow("portion left empty") << "incremental"
                                            << "r.txt"
                                            << "" << range;
        QTest::newRow("smallest portion") << "incremental"
                                          << "r.txt"
                                          << "1" << QString();
        QTest::newRow("largest portion") << "incremental"
                                         << "r.txt"
                                         << "999999" << QString();
    }

    void generalOptionsChecks()
    {
        QFETCH(QString, mode);
        QFETCH(QString, name);
        QFETCH(QString, lines);
        QFETCH(QString, message);
        SearchParameters parameters;
        GeneralOptionsDialog dialog(parameters, m_prompt);
        dialog.show();
        child<QRadioButton>(&dialog, mode)->setChecked(true);
        child<QLineEdit>(&dialog, "reportName")->setText(name);
        child<QLineEdit>(&dialog, "autoSaveLines")->setText(lines);
        QTest::mouseClick(child<QPushButton>(&dialog, "okButton"), Qt::LeftButton);
        if (!message.isEmpty()) {
            QCOMPARE(m_prompt.messages, QStringList{message});
            QVERIFY(dialog.isVisible());
            return;
        }
        QVERIFY(m_prompt.messages.isEmpty());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        dialog.ApplyTo(parameters);
        QCOMPARE(parameters.reportFileName, name);
        QCOMPARE(parameters.autoSaveLines, lines.toInt());
    }

    void generalOptionsBrowse()
    {
        SearchParameters parameters;
        parameters.outputMode = OutputMode::CompleteToFile;
        GeneralOptionsDialog dialog(parameters, m_prompt);
        m_prompt.saveFileAnswers.push_back(QStringLiteral("/tmp/zindrel-report.txt"));
        QTest::mouseClick(child<QPushButton>(&dialog, "browseButton"), Qt::LeftButton);
        QCOMPARE(child<QLineEdit>(&dialog, "reportName")->text(), "/tmp/zindrel-report.txt");
        QCOMPARE(m_prompt.saveFileRequests.size(), 1);
        QCOMPARE(m_prompt.saveFileRequests.first().defaultSuffix, "txt");
        QCOMPARE(m_prompt.saveFileRequests.first().filter, "Zindrel Files (*.txt)");
        QVERIFY(m_prompt.saveFileRequests.first().confirmOverwrite);
    }

    void objectsSelectionRoundTrip()
    {
        VELKARO_REQUIRE_DATA_SOURCE(test::testDataSource("sqlite"));
        SearchParameters parameters;
        SearchConnection connection;
        connect(connection, QStringLiteral("sqlite"));
        QStringList all;
        {
            CAdvancedSheet sheet(parameters, connection, m_prompt);
            auto* list = child<QListWidget>(sheet.ObjectsPage(), "objectList");
            QVERIFY(list->count() > 5);
            QCOMPARE(list->selectedItems().size(), list->count()); // a fresh source: all selected
            all = selectedNames(list);
            QVERIFY(connection.ObjectsLoaded());
            QCOMPARE(connection.ObjectCount(), connection.Session()->SearchObjects().size());
            for (const QString& name : {QStringLiteral("customers"), QStringLiteral("orders")})
                list->findItems(name, Qt::MatchExactly).first()->setSelected(false);
            child<QCheckBox>(sheet.ObjectsPage(), "listNotProcessed")->setChecked(false);
            QTest::mouseClick(child<QPushButton>(&sheet, "okButton"), Qt::LeftButton);
            QCOMPARE(sheet.result(), int(QDialog::Accepted));
        }
        QVERIFY(!parameters.listNotProcessedObjects);
        QVERIFY(connection.Session()->SearchObjects().Find(QStringLiteral("customers"))->excluded.load());
        QVERIFY(!connection.Session()->SearchObjects().Find(QStringLiteral("products"))->excluded.load());

        CAdvancedSheet again(parameters, connection, m_prompt);
        QStringList expected = all;
        expected.removeAll(QStringLiteral("customers"));
        expected.removeAll(QStringLiteral("orders"));
        QCOMPARE(selectedNames(child<QListWidget>(again.ObjectsPage(), "objectList")), expected);
        QVERIFY(!child<QCheckBox>(again.ObjectsPage(), "listNotProcessed")->isChecked());

        // Select All, then Cancel: nothing changes.
        QTest::mouseClick(child<QPushButton>(again.ObjectsPage(), "selectAllButton"), Qt::LeftButton);
        again.reject();
        QVERIFY(connection.Session()->SearchObjects().Find(QStringLiteral("customers"))->excluded.load());
    }

    void freshSourceSelectsAllAgain()
    {
        VELKARO_REQUIRE_DATA_SOURCE(test::testDataSource("sqlite"));
        SearchParameters parameters;
        SearchConnection connection;
        connect(connection, QStringLiteral("sqlite"));
        {
            CAdvancedSheet sheet(parameters, connection, m_prompt);
            QTest::mouseClick(child<QPushButton>(sheet.ObjectsPage(), "unselectAllButton"), Qt::LeftButton);
            sheet.accept();
        }
        connect(connection, QStringLiteral("sqlite")); // chosen anew: fresh again
        QVERIFY(!connection.ObjectsLoaded());
        CAdvancedSheet sheet(parameters, connection, m_prompt);
        auto* list = child<QListWidget>(sheet.ObjectsPage(), "objectList");
        QCOMPARE(list->selectedItems().size(), list->count());
    }

    // A worker's selections and steps reach the panel merged, none lost, in order with the other
    // calls; a name listed twice selects its latest row, an unknown one is added.
    void controlPanelFollowsAWorkersPosts()
    {
        ControlPanel panel(m_prompt);
        ShellSearchHost host(m_prompt);
        host.SetControlPanel(&panel);
        QSignalSpy titles(&host, &ShellSearchHost::TitleChanged);
        constexpr int kObjects = 3000;
        QStringList names;
        for (int i = 0; i < kObjects; ++i)
            names << QStringLiteral("T%1").arg(i);
        names << QStringLiteral("T7");
        std::thread worker([&] {
            host.SetProgressRange(SearchProgressBar::Objects, kObjects);
            host.SetObjectList(names);
            for (int i = 0; i < kObjects; ++i) {
                host.SelectObject(names.at(i));
                host.StepProgress(SearchProgressBar::Objects);
                if (i == kObjects / 2)
                    host.SetTitle(QStringLiteral("Paused - Zindrel"));
            }
            host.SetProgressRange(SearchProgressBar::Data, 2);
            host.SelectObject(QStringLiteral("T7"));
            host.StepProgress(SearchProgressBar::Data);
            host.RunEnded();
        });
        QTRY_VERIFY(host.Ended() && panel.ProgressBar(SearchProgressBar::Data)->value() == 1);
        worker.join();

        QCOMPARE(titles.count(), 1);
        QCOMPARE(panel.ProgressBar(SearchProgressBar::Objects)->value(), kObjects);
        QCOMPARE(panel.ObjectList()->currentRow(), kObjects);
        panel.SelectObject(QStringLiteral("not listed"));
        QCOMPARE(panel.ObjectList()->count(), kObjects + 2);
        QCOMPARE(panel.ObjectList()->currentItem()->text(), "not listed");
    }

    void sameNamedObjectsShareOneEntry()
    {
        VELKARO_REQUIRE_DATA_SOURCE(test::testDataSource("sqlite"));
        SearchParameters parameters;
        SearchConnection connection;
        connect(connection, QStringLiteral("sqlite"));
        connection.LoadObjectsIfFresh();
        // A second object of the same name, as a table and its synonym are listed.
        auto twin = std::make_shared<SearchObjectRecord>();
        twin->name = QStringLiteral("customers");
        twin->type = QStringLiteral("SYNONYM");
        twin->owner = QStringLiteral("other");
        connection.Session()->SearchObjects().Append(twin);

        CAdvancedSheet sheet(parameters, connection, m_prompt);
        auto* list = child<QListWidget>(sheet.ObjectsPage(), "objectList");
        const QList<QListWidgetItem*> entries =
            list->findItems(QStringLiteral("customers"), Qt::MatchExactly);
        QCOMPARE(entries.size(), 1);
        QVERIFY(entries.first()->isSelected());
        entries.first()->setSelected(false);
        sheet.accept();
        int excluded = 0;
        for (const auto& object : connection.Session()->SearchObjects().Snapshot()) {
            QCOMPARE(object->excluded.load() != 0, object->name == QLatin1String("customers"));
            excluded += object->excluded.load();
        }
        QCOMPARE(excluded, 2);
    }

    void lowerCasePatternIsWarned_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("warning");
        QTest::newRow("lower case") << "cust%"
                                    << "The pattern cust% holds lower-case letters and will match no column: "
                                       "column names are compared in capitals. Write it as CUST%.";
        QTest::newRow("capitals") << "CUST%" << QString();
        // Upper-casing leaves 'ß' as it is, in the names too: the pattern can match.
        QTest::newRow("sharp s has no capital") << "GRÖßE" << QString();
    }

    // Added as typed, but not in silence: the names it is compared with are in capitals.
    void lowerCasePatternIsWarned()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, warning);
        SearchParameters parameters;
        CPropColumns page(parameters, m_prompt);
        page.show();
        child<QLineEdit>(&page, "patternEdit")->setText(pattern);
        QTest::mouseClick(page.AddButton(), Qt::LeftButton);
        QCOMPARE(m_prompt.messages, warning.isEmpty() ? QStringList() : QStringList{warning});
        page.Apply();
        QCOMPARE(parameters.ignoredColumnPatterns, QStringList{pattern});
    }

    void columnPatterns()
    {
        VELKARO_REQUIRE_DATA_SOURCE(test::testDataSource("sqlite"));
        SearchParameters parameters;
        parameters.ignoredColumnPatterns = {QStringLiteral("OLD")};
        SearchConnection connection;
        connect(connection, QStringLiteral("sqlite"));
        CAdvancedSheet sheet(parameters, connection, m_prompt);
        sheet.show();
        CPropColumns* page = sheet.ColumnsPage();
        auto* edit = child<QLineEdit>(page, "patternEdit");
        auto* list = child<QListWidget>(page, "patternList");
        QCOMPARE(list->count(), 1);

        edit->setText(QStringLiteral("A%B%C"));
        QTest::mouseClick(page->AddButton(), Qt::LeftButton);
        QCOMPARE(m_prompt.messages, QStringList{"You can have only one expander ('%') per string"});
        QCOMPARE(edit->text(), "A%B%C");
        QCOMPARE(list->count(), 1);

        edit->setText(QStringLiteral("%_ID"));
        QTest::mouseClick(page->AddButton(), Qt::LeftButton);
        QCOMPARE(edit->text(), QString());
        list->setCurrentRow(0);
        QTest::mouseClick(child<QPushButton>(page, "removeButton"), Qt::LeftButton);

        // Text left in the box is added by OK, and the sheet stays open for a look.
        edit->setText(QStringLiteral("NOTES"));
        QTest::mouseClick(child<QPushButton>(&sheet, "okButton"), Qt::LeftButton);
        QVERIFY(sheet.isVisible());
        QCOMPARE(parameters.ignoredColumnPatterns, QStringList{"OLD"});
        QTest::mouseClick(child<QPushButton>(&sheet, "okButton"), Qt::LeftButton);
        QVERIFY(!sheet.isVisible());
        QCOMPARE(parameters.ignoredColumnPatterns, (QStringList{"%_ID", "NOTES"}));
    }
};

QTEST_MAIN(ShellDialogsTest)
#include "ShellDialogsTest.moc"

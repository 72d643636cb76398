// The Reports dialog and its progress box, offscreen, over the SQLite sample: the stored choices,
// the enabling rules, the refusals, a report to a file (byte for byte what velkaro-report writes)
// and to a PDF printer, and the Reports command of the main window.

#include "explorer/views/CReportsDlg.h"

#include "catalog/CDbSession.h"
#include "common/ProfileStore.h"
#include "explorer/hub/ExplorerHub.h"
#include "explorer/reports/ReportFlags.h"
#include "explorer/shell/CMainFrame.h"
#include "explorer/views/CLeftView.h"
#include "explorer/views/CReportProgressDlg.h"
#include "tests/support/RecordingPrompt.h"
#include "tests/support/TestDataSources.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace velkaro;
using namespace velkaro::test;

namespace {

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList texts(const QListWidget& list)
{
    QStringList result;
    for (int row = 0; row < list.count(); ++row)
        result << list.item(row)->text();
    return result;
}

void choose(CReportsDlg& dialog, const QStringList& names)
{
    for (const QString& name : names) {
        const QList<QListWidgetItem*> found = dialog.AvailableList()->findItems(name, Qt::MatchExactly);
        QVERIFY2(!found.isEmpty(), qPrintable(name));
        dialog.AvailableList()->setCurrentItem(found.constFirst());
        dialog.MoveButton()->click();
    }
}

} // namespace

class CReportsDlgTest final : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<ProfileStore> m_store;
    RecordingPrompt m_prompt;
    std::unique_ptr<CLeftView> m_tree;

    ExplorerHub& hub() { return m_tree->Hub(); }

private slots:
    void initTestCase()
    {
        const TestDataSource& sqlite = testDataSource(QStringLiteral("sqlite"));
        VELKARO_REQUIRE_DATA_SOURCE(sqlite);
        m_store = std::make_unique<ProfileStore>(QStringLiteral("Velkaro"));
        m_store->WriteString(QStringLiteral("Log"), QStringLiteral("File"),
                             m_dir.filePath(QStringLiteral("velkaro")));
        m_tree = std::make_unique<CLeftView>(*m_store, m_prompt);
        hub().InsertRoot();
        auto session = std::make_shared<CDbSession>();
        QVERIFY(session->ConnectByString(sqlite.connectString, m_prompt));
        QVERIFY(hub().AddDatabase(session, QStringLiteral("Shop"), false, true, false));
        QTRY_VERIFY_WITH_TIMEOUT(!hub().CanStop() && hub().Workers().Threads().LiveCount() == 0, 30000);
    }

    void cleanupTestCase() { m_tree.reset(); }

    void init() { m_prompt.messages.clear(); }

    void storedChoicesAndEnabling()
    {
        m_store->WriteInt(QStringLiteral("Report"), QStringLiteral("RDC"), 0);
        m_store->WriteInt(QStringLiteral("Report"), QStringLiteral("ROF"), 1);
        m_store->WriteString(QStringLiteral("Report"), QStringLiteral("RPF"), QStringLiteral("kept.txt"));
        m_store->WriteString(QStringLiteral("Report"), QStringLiteral("Look"), QStringLiteral("gone"));
        CReportsDlg dialog(hub(), *m_store, m_prompt);

        QCOMPARE(dialog.DatabaseBox()->currentText(), QStringLiteral("Shop"));
        QVERIFY(!dialog.ColumnsBox()->isChecked());
        QVERIFY(dialog.IndexesBox()->isChecked());
        QCOMPARE(dialog.FileNameEdit()->text(), QStringLiteral("kept.txt"));
        QVERIFY(dialog.FileNameEdit()->isEnabled() && dialog.BrowseButton()->isEnabled());
        QVERIFY(!dialog.PageBreakBox()->isEnabled());
        dialog.ToFileBox()->click();
        QVERIFY(!dialog.FileNameEdit()->isEnabled() && !dialog.BrowseButton()->isEnabled());
        QVERIFY(dialog.PageBreakBox()->isEnabled());
        // Sorted, every name once, and only objects with columns while the box is checked.
        const QStringList offered = texts(*dialog.AvailableList());
        QVERIFY(offered.contains(QStringLiteral("customers")));
        QCOMPARE(offered.count(QStringLiteral("customers")), 1);
        QStringList sorted = offered;
        sorted.sort();
        QCOMPARE(offered, sorted);
        QVERIFY(texts(*dialog.ChosenList()).isEmpty());
    }

    void moving()
    {
        CReportsDlg dialog(hub(), *m_store, m_prompt);
        const QStringList all = texts(*dialog.AvailableList());
        dialog.AvailableList()->clearSelection();
        dialog.AvailableList()->setCurrentItem(nullptr);
        dialog.MoveButton()->click(); // nothing selected: nothing moves
        QCOMPARE(dialog.ChosenList()->count(), 0);
        choose(dialog, {QStringLiteral("orders"), QStringLiteral("customers")});
        QCOMPARE(texts(*dialog.ChosenList()),
                 (QStringList{QStringLiteral("orders"), QStringLiteral("customers")}));
        dialog.BackAllButton()->click();
        QCOMPARE(texts(*dialog.AvailableList()), all);
        // ">>" takes the names from the top of the sorted list.
        dialog.MoveAllButton()->click();
        QCOMPARE(texts(*dialog.ChosenList()), all);
        QVERIFY(texts(*dialog.AvailableList()).isEmpty());
    }

    void refusals_data()
    {
        QTest::addColumn<bool>("anySection");
        QTest::addColumn<bool>("anyObject");
        QTest::addColumn<QString>("message");
        QTest::newRow("no section checked")
            << false << true << QStringLiteral("Please select at least 1 option to include in report.");
        QTest::newRow("no object chosen")
            << true << false << QStringLiteral("Please select an object to print");
    }

    void refusals()
    {
        QFETCH(bool, anySection);
        QFETCH(bool, anyObject);
        QFETCH(QString, message);
        CReportsDlg dialog(hub(), *m_store, m_prompt);
        for (QCheckBox* box :
             {dialog.ColumnsBox(), dialog.IndexesBox(), dialog.PrimaryKeysBox(), dialog.ForeignKeysBox()})
            box->setChecked(anySection && box == dialog.IndexesBox());
        if (anyObject)
            choose(dialog, {QStringLiteral("orders")});

        dialog.PrintButton()->click();

        QCOMPARE(m_prompt.messages, QStringList{message});
        // Stored before the refusal.
        QCOMPARE(m_store->ReadInt(QStringLiteral("Report"), QStringLiteral("RDI"), -1), anySection ? 1 : 0);
        QCOMPARE(m_store->ReadString(QStringLiteral("Report"), QStringLiteral("Look"), QString()),
                 QStringLiteral("Shop"));
    }

    void fileReportMatchesCommandLine()
    {
        CReportsDlg dialog(hub(), *m_store, m_prompt);
        for (QCheckBox* box :
             {dialog.ColumnsBox(), dialog.IndexesBox(), dialog.PrimaryKeysBox(), dialog.ForeignKeysBox()})
            box->setChecked(true);
        dialog.ToFileBox()->setChecked(true);
        const QString fromDialog = m_dir.filePath(QStringLiteral("dialog.txt"));
        dialog.FileNameEdit()->setText(fromDialog);
        choose(dialog, {QStringLiteral("orders"), QStringLiteral("Größe"), QStringLiteral("customers")});

        dialog.Print();

        QCOMPARE(m_prompt.messages, QStringList{QStringLiteral("Printing Completed.")});
        const QString fromTool = m_dir.filePath(QStringLiteral("tool.txt"));
        QProcess tool;
        tool.start(QStringLiteral(VELKARO_REPORT),
                   {QStringLiteral("--dsn"), QStringLiteral("ShopSQLite"), QStringLiteral("--object"),
                    QStringLiteral("orders"), QStringLiteral("--object"), QStringLiteral("Größe"),
                    QStringLiteral("--object"), QStringLiteral("customers"), QStringLiteral("--output"),
                    fromTool});
        QVERIFY(tool.waitForFinished(60000));
        QCOMPARE(tool.exitCode(), 0);
        QCOMPARE(tool.readAllStandardError(), QByteArray());
        const QByteArray expected = fileBytes(fromDialog);
        QVERIFY(expected.startsWith("VELKARO OBJECTS REPORT\n\n\n"));
        QVERIFY(expected.endsWith("\nEND OF REPORT\n"));
        QCOMPARE(fileBytes(fromTool), expected);
    }

    void printerReport_data()
    {
        QTest::addColumn<bool>("chosen");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("printed to a PDF file") << true << QStringList{QStringLiteral("Printing Completed.")};
        QTest::newRow("print dialog cancelled: one message")
            << false << QStringList{QStringLiteral("Error opening printer device")};
    }

    void printerReport()
    {
        QFETCH(bool, chosen);
        QFETCH(QStringList, messages);
        CReportsDlg dialog(hub(), *m_store, m_prompt);
        dialog.ToFileBox()->setChecked(false);
        const QString pdf = m_dir.filePath(QStringLiteral("report-%1.pdf").arg(chosen));
        dialog.SetPrinterChooser([&](QPrinter& printer, QWidget*) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return chosen;
        });
        choose(dialog, {QStringLiteral("customers")});

        dialog.Print();

        QCOMPARE(m_prompt.messages, messages);
        QCOMPARE(fileBytes(pdf).startsWith("%PDF"), chosen);
    }

    void progressBox()
    {
        auto flags = std::make_shared<ReportFlags>();
        flags->continueFlag.store(1);
        int finished = 0;
        CReportProgressDlg box(
            flags, [&finished] { ++finished; }, m_prompt);
        box.show();
        QCOMPARE(box.Message()->text(), QStringLiteral("Preparing Report. Please wait..."));

        box.CancelButton()->click();
        QCOMPARE(flags->continueFlag.load(), 0);
        QCOMPARE(box.Message()->text(), QStringLiteral("Canceling Report. Please wait..."));
        QVERIFY(!box.CancelButton()->isEnabled());
        QCOMPARE(m_prompt.messages, QStringList{QStringLiteral("The report has been canceled")});
        QCOMPARE(finished, 0);
        flags->doneFlag.store(1);
        QTRY_VERIFY(!box.isVisible());
        QCOMPARE(box.result(), int(QDialog::Accepted));

        // The close box ends the print job at once.
        flags->continueFlag.store(1);
        CReportProgressDlg closed(
            flags, [&finished] { ++finished; }, m_prompt);
        closed.show();
        closed.close();
        QCOMPARE(finished, 1);
        QCOMPARE(flags->continueFlag.load(), 0);
    }

    void reportsCommandWithoutDatabases()
    {
        QTemporaryDir dir;
        ProfileStore store(QStringLiteral("VelkaroReportsFrame"));
        store.WriteString(QStringLiteral("Log"), QStringLiteral("File"),
                          dir.filePath(QStringLiteral("frame")));
        CMainFrame frame(store, m_prompt);
        frame.StartUp();
        frame.GetCommands().reports->trigger();
        QCOMPARE(m_prompt.messages, QStringList{QStringLiteral("There are no databases to report")});
        QCOMPARE(frame.GetCommands().reports->text(), QStringLiteral("R&eports"));
        QCOMPARE(frame.GetCommands().reports->statusTip(), QStringLiteral("Create schema reports"));
    }
};

QTEST_MAIN(CReportsDlgTest)
#include "CReportsDlgTest.moc"

#include "ActivityLogFile.h"
#include "RecordingPrompt.h"
#include "common/ProfileStore.h"
#include "explorer/logsettings/ActivityLog.h"
#include "explorer/logsettings/LogSettings.h"
#include "explorer/logsettings/LookupSettings.h"
#include "explorer/logsettings/ObjectSettings.h"
#include "explorer/logsettings/RefreshSettings.h"
#include "explorer/settingsdialogs/CSetSheet.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>

using namespace velkaro;
using velkaro::test::RecordingPrompt;

namespace {
// The explorer's settings as the sheet sees them, over an empty store and a log in a temporary folder.
struct Explorer
{
    explicit Explorer(const QString& folder)
    {
        log.fileName = folder + QStringLiteral("/Velkaro");
        log.LANY = 1;
    }

    LogSettings log;
    ObjectSettings objects;
    LookupSettings lookup;
    RefreshSettings refresh;
    ProfileStore store{QStringLiteral("Velkaro")};
    RecordingPrompt prompt;
    ActivityLog activityLog{log, prompt};
    SettingsSheetContext context{log, objects, lookup, refresh, store, activityLog, prompt};
};

template <typename Button> Button* button(QWidget* root, const QString& text)
{
    for (Button* candidate : root->findChildren<Button*>())
        if (candidate->text() == text)
            return candidate;
    qWarning("no control %s", qPrintable(text));
    return nullptr;
}

QCheckBox* box(QWidget* root, const QString& text)
{
    return button<QCheckBox>(root, text);
}

// The page's own edit boxes, in the order they stand (not those inside the time pickers).
QList<QLineEdit*> edits(QWidget* page)
{
    QList<QLineEdit*> result;
    for (QLineEdit* edit : page->findChildren<QLineEdit*>())
        if (!qobject_cast<QAbstractSpinBox*>(edit->parent()))
            result.append(edit);
    return result;
}

void retype(QLineEdit* edit, const QString& text)
{
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

QPushButton* sheetButton(CSetSheet& sheet, QDialogButtonBox::StandardButton which)
{
    return sheet.findChild<QDialogButtonBox*>()->button(which);
}

int stored(const ProfileStore& store, const char* section, const char* name)
{
    return store.ReadInt(section, name, -1);
}
} // namespace

class SettingsSheetTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        QFile::remove(ProfileStore(QStringLiteral("Velkaro")).FileName());
        QFile::remove(logFile());
        m_explorer = std::make_unique<Explorer>(m_dir.path());
        m_sheet = std::make_unique<CSetSheet>(m_explorer->context);
        m_sheet->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_sheet.get()));
    }

    void cleanup()
    {
        m_sheet.reset();
        m_explorer.reset();
    }

    void pagesInTabOrder()
    {
        QCOMPARE(m_sheet->windowTitle(), QStringLiteral("Settings"));
        QStringList titles;
        for (int i = 0; i < m_sheet->Tabs()->count(); ++i)
            titles << m_sheet->Tabs()->tabText(i);
        QCOMPARE(titles, (QStringList{"Objects", "Object Lookup", "Refresh", "Log"}));
        QCOMPARE(m_sheet->Tabs()->currentIndex(), 0);
        QVERIFY(!sheetButton(*m_sheet, QDialogButtonBox::Apply)->isEnabled());
    }

    // Boxes that cannot apply are disabled but keep their marks, and are stored with them.
    void objectsPageDisablesDetailsButKeepsTheirMarks()
    {
        QWidget* page = m_sheet->Tabs()->widget(0);
        for (const char* kind : {"Tables", "Views", "Synonyms"})
            box(page, kind)->click();
        QVERIFY(sheetButton(*m_sheet, QDialogButtonBox::Apply)->isEnabled());
        for (const char* detail : {"Columns", "Indexes", "Index Columns"}) {
            QVERIFY2(!box(page, detail)->isEnabled(), detail);
            QVERIFY2(box(page, detail)->isChecked(), detail);
        }

        box(page, "Views")->click(); // columns again, indexes still only for tables
        QVERIFY(box(page, "Columns")->isEnabled());
        QVERIFY(!box(page, "Indexes")->isEnabled());
        QVERIFY(!box(page, "Index Columns")->isEnabled());

        sheetButton(*m_sheet, QDialogButtonBox::Ok)->click();
        QCOMPARE(m_sheet->result(), int(QDialog::Accepted));
        const ObjectSettings& objects = m_explorer->objects;
        QCOMPARE(objects.OTAB.load(), 0);
        QCOMPARE(objects.OVIEW.load(), 1);
        QCOMPARE(objects.OSYN.load(), 0);
        QCOMPARE(objects.OIND.load(), 1);
        QCOMPARE(stored(m_explorer->store, "Obj", "OTAB"), 0);
        QCOMPARE(stored(m_explorer->store, "Obj", "OIND"), 1);
        QCOMPARE(stored(m_explorer->store, "Obj", "OINDCOL"), 1);
        QCOMPARE(logMessages(), QStringList{"Object settings updated."});
    }

    void cancelDiscardsEdits()
    {
        box(m_sheet->Tabs()->widget(0), "Tables")->click();
        m_sheet->Tabs()->setCurrentIndex(2);
        sheetButton(*m_sheet, QDialogButtonBox::Cancel)->click();
        QCOMPARE(m_sheet->result(), int(QDialog::Rejected));
        QCOMPARE(m_explorer->objects.OTAB.load(), 1);
        QVERIFY(!QFile::exists(m_explorer->store.FileName()));
        QVERIFY(!QFile::exists(logFile()));
    }

    void threadCountOutOfRangeIsRefused_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("leaveBy");
        QTest::newRow("no threads, OK") << "0"
                                        << "ok";
        QTest::newRow("one thread too many, OK") << "1000"
                                                 << "ok";
        QTest::newRow("nothing typed, Apply") << ""
                                              << "apply";
        QTest::newRow("no threads, other tab") << "0"
                                               << "tab";
    }

    void threadCountOutOfRangeIsRefused()
    {
        QFETCH(QString, typed);
        QFETCH(QString, leaveBy);
        m_sheet->Tabs()->setCurrentIndex(1);
        QWidget* page = m_sheet->Tabs()->widget(1);
        button<QRadioButton>(page, "Retrieve Objects when Database is accessed")->click();
        retype(edits(page).value(0), typed);

        if (leaveBy == QLatin1String("ok"))
            sheetButton(*m_sheet, QDialogButtonBox::Ok)->click();
        else if (leaveBy == QLatin1String("apply"))
            sheetButton(*m_sheet, QDialogButtonBox::Apply)->click();
        else
            m_sheet->Tabs()->setCurrentIndex(3);

        QCOMPARE(m_explorer->prompt.messages, QStringList{"Please enter an integer between 1 and 999."});
        QVERIFY(m_sheet->isVisible());
        QCOMPARE(m_sheet->Tabs()->currentIndex(), 1);
        QCOMPARE(m_explorer->lookup.RAOBJ.load(), 0); // nothing of the page applied
        QVERIFY(!QFile::exists(m_explorer->store.FileName()));

        retype(edits(page).value(0), QStringLiteral("12"));
        sheetButton(*m_sheet, QDialogButtonBox::Ok)->click();
        QVERIFY(!m_sheet->isVisible());
        QCOMPARE(m_explorer->lookup.MaxM.load(), 12);
        QCOMPARE(stored(m_explorer->store, "ObjLook", "MaxM"), 12);
        QCOMPARE(stored(m_explorer->store, "ObjLook", "RAOBJ"), 1);
        QCOMPARE(logMessages(), QStringList{"Object Lookup settings updated."});
    }

    void refreshMinutesOutOfRangeAreRefused()
    {
        m_sheet->Tabs()->setCurrentIndex(2);
        retype(edits(m_sheet->Tabs()->widget(2)).value(1), QStringLiteral("1000000"));
        sheetButton(*m_sheet, QDialogButtonBox::Ok)->click();
        QCOMPARE(m_explorer->prompt.messages, QStringList{"Please enter an integer between 1 and 999999."});
        QVERIFY(m_sheet->isVisible());
        QVERIFY(!QFile::exists(m_explorer->store.FileName()));
    }

    // Once shown, the Refresh page writes its section at every apply; unvisited pages write nothing.
    void visitedRefreshPageAlwaysApplies()
    {
        m_explorer->refresh.notAfter = QTime(5, 4, 3);
        CSetSheet sheet(m_explorer->context);
        sheet.show();
        sheet.Tabs()->setCurrentIndex(2);
        sheetButton(sheet, QDialogButtonBox::Ok)->click();

        const ProfileStore& store = m_explorer->store;
        QCOMPARE(stored(store, "Refresh", "RAUTO"), 1);
        QCOMPARE(stored(store, "Refresh", "RIDLE"), 60);
        QCOMPARE(stored(store, "Refresh", "RMAX"), 240);
        QCOMPARE(stored(store, "Refresh", "RBHH"), 19);
        QCOMPARE(stored(store, "Refresh", "RAHH"), 5);
        QCOMPARE(stored(store, "Refresh", "RAMM"), 4);
        QCOMPARE(stored(store, "Refresh", "RASS"), 3);
        QCOMPARE(stored(store, "Obj", "OTAB"), -1); // shown but unchanged
        QCOMPARE(stored(store, "ObjLook", "MaxM"), -1);
        QCOMPARE(stored(store, "Log", "Create"), -1);
        QCOMPARE(logMessages(), QStringList{"Refresh settings updated."});
    }

    void refreshPageEnabling()
    {
        m_sheet->Tabs()->setCurrentIndex(2);
        QWidget* page = m_sheet->Tabs()->widget(2);
        const QList<QTimeEdit*> times = page->findChildren<QTimeEdit*>();
        QCOMPARE(times.size(), 2);
        QVERIFY(edits(page).value(0)->isEnabled());
        QVERIFY(!times[0]->isEnabled()); // no time constraints by default

        box(page, "Use time constraints")->click();
        QVERIFY(times[0]->isEnabled() && times[1]->isEnabled());
        QCOMPARE(times[0]->displayFormat(), QStringLiteral("HH:mm:ss"));

        box(page, "Enable Automatic Refresh")->click();
        QVERIFY(!edits(page).value(0)->isEnabled());
        QVERIFY(!box(page, "Use time constraints")->isEnabled());
        QVERIFY(!times[1]->isEnabled());
    }

    void logPageStoresTheNameWithoutExtension()
    {
        m_sheet->Tabs()->setCurrentIndex(3);
        QLineEdit* name = edits(m_sheet->Tabs()->widget(3)).value(0);
        QCOMPARE(name->text(), logFile());
        retype(name, m_dir.filePath(QStringLiteral("run.LOG")));
        sheetButton(*m_sheet, QDialogButtonBox::Ok)->click();

        const QString base = m_dir.filePath(QStringLiteral("run"));
        QCOMPARE(m_explorer->store.ReadString("Log", "File", QString()), base);
        QCOMPARE(m_explorer->activityLog.FileName(), base);
        QCOMPARE(stored(m_explorer->store, "Log", "LANY"), 1);
        QVERIFY(!QFile::exists(logFile()));
        QCOMPARE(logMessages(base + QStringLiteral(".log")), QStringList{"Log settings updated."});
    }

    void logPageBrowseAndEnabling()
    {
        m_sheet->Tabs()->setCurrentIndex(3);
        QWidget* page = m_sheet->Tabs()->widget(3);
        const QString chosen = m_dir.filePath(QStringLiteral("chosen.log"));
        m_explorer->prompt.saveFileAnswers.push_back(chosen);
        button<QPushButton>(page, "Browse")->click();

        QCOMPARE(edits(page).value(0)->text(), chosen);
        QCOMPARE(m_explorer->prompt.saveFileRequests.size(), 1);
        const SaveFileRequest request = m_explorer->prompt.saveFileRequests.first();
        QCOMPARE(request.defaultSuffix, QStringLiteral("log"));
        QCOMPARE(request.filter, QStringLiteral("Velkaro Files (*.log)"));
        QVERIFY(request.confirmOverwrite && request.pathMustExist);
        QVERIFY(sheetButton(*m_sheet, QDialogButtonBox::Apply)->isEnabled());

        box(page, "Log Events")->click();
        for (const char* other : {"Truncate at startup", "Append if exists", "Adding Databases", "Refreshing",
                                  "Everything else (Large Log)"})
            QVERIFY2(!box(page, other)->isEnabled(), other);
        QVERIFY(!edits(page).value(0)->isEnabled());
        QVERIFY(!button<QPushButton>(page, "Browse")->isEnabled());

        sheetButton(*m_sheet, QDialogButtonBox::Apply)->click();
        QCOMPARE(stored(m_explorer->store, "Log", "Create"), 0);
        QCOMPARE(m_explorer->store.ReadString("Log", "File", QString()),
                 m_dir.filePath(QStringLiteral("chosen")));
        QVERIFY(!sheetButton(*m_sheet, QDialogButtonBox::Apply)->isEnabled());
    }

    void lookupRadioPairs_data()
    {
        QTest::addColumn<int>("raobj");
        QTest::addColumn<int>("racol");
        QTest::addColumn<QString>("objectsChoice");
        QTest::addColumn<QString>("columnsChoice");
        QTest::newRow("objects when accessed") << 1 << 0 << "Retrieve Objects when Database is accessed"
                                               << "Retrieve Columns and Indexes when Object is loaded";
        QTest::newRow("columns when accessed") << 0 << 7 << "Retrieve Objects when Database is loaded"
                                               << "Retrieve Columns and Indexes when Object is accessed";
    }

    void lookupRadioPairs()
    {
        QFETCH(int, raobj);
        QFETCH(int, racol);
        QFETCH(QString, objectsChoice);
        QFETCH(QString, columnsChoice);
        m_explorer->lookup.RAOBJ = raobj;
        m_explorer->lookup.RACOL = racol;
        CSetSheet sheet(m_explorer->context);
        QWidget* page = sheet.Tabs()->widget(1);
        QVERIFY(button<QRadioButton>(page, objectsChoice)->isChecked());
        QVERIFY(button<QRadioButton>(page, columnsChoice)->isChecked());
        QCOMPARE(edits(page).value(0)->text(), QStringLiteral("5"));
    }

    // The store's file cannot be written (here it is a folder): the user hears of it.
    void storeFailureIsReported()
    {
        QVERIFY(QDir().mkpath(m_explorer->store.FileName()));
        box(m_sheet->Tabs()->widget(0), "Others")->click();
        sheetButton(*m_sheet, QDialogButtonBox::Ok)->click();
        QDir(m_explorer->store.FileName()).removeRecursively();

        QCOMPARE(m_explorer->objects.OOTHERS.load(), 1);
        QCOMPARE(m_explorer->prompt.messages,
                 QStringList{"Could not save the settings to '" + m_explorer->store.FileName() + "'."});
    }

private:
    QString logFile() const { return m_dir.filePath(QStringLiteral("Velkaro.log")); }

    QStringList logMessages(const QString& file = QString()) const
    {
        m_explorer->activityLog.Flush();
        return velkaro::test::activityLogMessages(file.isEmpty() ? logFile() : file);
    }

    QTemporaryDir m_dir;
    std::unique_ptr<Explorer> m_explorer;
    std::unique_ptr<CSetSheet> m_sheet;
};

QTEST_MAIN(SettingsSheetTest)
#include "SettingsSheetTest.moc"

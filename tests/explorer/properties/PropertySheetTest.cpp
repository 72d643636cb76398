// The property sheets over the three sample sources, offscreen: every page kind, the key lists in
// the driver's order, statistics, the in-use case, "DOST", a column refreshed away, and a sheet
// closed while its key query waits on a lock.

#include "catalog/CDbSession.h"
#include "common/ProfileStore.h"
#include "explorer/logsettings/LookupSettings.h"
#include "explorer/properties/CPropKeys.h"
#include "explorer/properties/CProps.h"
#include "explorer/properties/PropertiesCommand.h"
#include "explorer/propertydata/PropertyChoice.h"
#include "explorer/shell/CMainFrame.h"
#include "explorer/views/CLeftView.h"
#include "explorer/views/CVelkaroView.h"
#include "resources/VelkaroResources.h"
#include "tests/support/RecordingPrompt.h"
#include "tests/support/TestDataSources.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>

using namespace velkaro;
using namespace velkaro::test;

namespace {

// The two panes with one loaded sample database, "Shop".
struct Explorer
{
    explicit Explorer(const TestDataSource& source)
    {
        store.WriteString(QStringLiteral("Log"), QStringLiteral("File"),
                          logDir.filePath(QStringLiteral("velkaro")));
        tree = std::make_unique<CLeftView>(store, prompt);
        list = std::make_unique<CVelkaroView>(store);
        tree->SetListView(list.get());
        tree->show();
        list->show();
        list->SetColumnSet(0);
        tree->Hub().InsertRoot();
        auto session = std::make_shared<CDbSession>();
        session->ConnectByString(source.connectString, prompt);
        loaded = !session->ConnectFailed() &&
                 tree->Hub().AddDatabase(session, QStringLiteral("Shop"), false, true, false);
    }
    ~Explorer() { tree.reset(); }

    ExplorerHub& Hub() { return tree->Hub(); }
    bool Idle() { return !Hub().CanStop() && Hub().Workers().Threads().LiveCount() == 0; }
    NodeId Database() { return Hub().Tree().FindChildByText(Hub().Tree().Root(), QStringLiteral("Shop")); }
    DatabaseEntryPtr Entry() { return Hub().Databases().FindEntryByNode(Database()); }
    // The occurrence-th object node of that name (0 the first).
    NodeId Object(const QString& name, int occurrence = 0)
    {
        for (const NodeId node : Hub().Tree().Children(Database())) {
            if (Hub().Tree().NodeText(node) == name && occurrence-- == 0)
                return node;
        }
        return 0;
    }
    std::unique_ptr<CProps> SheetFor(NodeId node)
    {
        const PropertyChoice choice = PropertyChoice(Hub().Tree(), Hub().Databases()).FromTreeNode(node);
        if (!choice.Target())
            return nullptr;
        auto sheet = CProps::Create(Hub(), store, prompt, *choice.Target());
        if (sheet)
            sheet->show();
        return sheet;
    }
    bool PropertyWorkDone() { return !Hub().Workers().PropertyWorkRunning(); }

    QTemporaryDir logDir;
    ProfileStore store{QStringLiteral("Velkaro")};
    RecordingPrompt prompt;
    std::unique_ptr<CVelkaroView> list;
    std::unique_ptr<CLeftView> tree;
    bool loaded = false;
};

// The value shown beside label on page.
QString field(QWidget* page, const QString& label)
{
    for (QLabel* name : page->findChildren<QLabel*>()) {
        if (name->text() == label) {
            auto* value = qobject_cast<QLabel*>(name->buddy());
            return value ? value->text() : QStringLiteral("<no value>");
        }
    }
    return QStringLiteral("<no field %1>").arg(label);
}

QStringList rows(const QTreeWidget* list)
{
    QStringList texts;
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = list->topLevelItem(row);
        texts.append(item->text(0) + QLatin1Char('|') + item->text(1) + QLatin1Char('|') + item->text(2));
    }
    return texts;
}

// Opens tab index and returns its key list once its thread has answered.
QStringList keyRows(Explorer& explorer, CProps& sheet, int index)
{
    sheet.Tabs()->setCurrentIndex(index);
    auto* page = qobject_cast<CPropKeys*>(sheet.Page(index));
    if (!page || !page->List())
        return {QStringLiteral("<no key page>")};
    const QString wait = QStringLiteral("|Please wait...|");
    if (!QTest::qWaitFor([&] { return !rows(page->List()).contains(wait) && explorer.PropertyWorkDone(); },
                         20000))
        return {QStringLiteral("<still waiting>")};
    return rows(page->List());
}

QStringList keyTexts(const char* rows)
{
    return QString::fromUtf8(rows).split(QLatin1Char(';'), Qt::SkipEmptyParts);
}

// The sample source key loaded into a new Explorer named var; skips when the source is not running.
#define OPEN_EXPLORER(var, key)                                                                              \
    VELKARO_REQUIRE_DATA_SOURCE(testDataSource(key));                                                        \
    auto var = open(key);                                                                                    \
    QVERIFY(var)

const QString kInUse = QStringLiteral("N/A (database in use)");

} // namespace

class PropertySheetTest final : public QObject
{
    Q_OBJECT

private:
    // One row per sample source, named after it.
    void sourceRows()
    {
        QTest::addColumn<QString>("source");
        for (const char* key : {"sqlite", "postgres", "mariadb"})
            QTest::newRow(key) << QString::fromLatin1(key);
    }
    // Skips or fails when the source is not reachable; the explorer with the source loaded otherwise.
    std::unique_ptr<Explorer> open(const QString& key)
    {
        const TestDataSource& source = testDataSource(key);
        const QString why = unavailableReason(source);
        if (!why.isEmpty())
            return nullptr;
        auto explorer = std::make_unique<Explorer>(source);
        if (!explorer->loaded || !QTest::qWaitFor([&] { return explorer->Idle(); }, 30000))
            return nullptr;
        return explorer;
    }

private slots:
    void initTestCase() { initVelkaroResources(); }

    void init()
    {
        ProfileStore store(QStringLiteral("Velkaro"));
        QFile::remove(store.FileName());
    }

    void keyListsInDriverOrder_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("table");
        QTest::addColumn<int>("occurrence");
        QTest::addColumn<QStringList>("primaryKeys");
        QTest::addColumn<QStringList>("toOthers");
        QTest::addColumn<QStringList>("fromOthers");
        const char* wh = "shipments|warehouse_id|warehouse_id;shipments|site_code|site_code;"
                         "stock_counts|warehouse_id|warehouse_id;stock_counts|site_code|site_code";
        const QStringList whFrom = keyTexts(wh);
        QTest::newRow("sqlite composite key referenced by two tables")
            << "sqlite"
            << "warehouses" << 0 << keyTexts("1|warehouse_id|;2|site_code|") << QStringList() << whFrom;
        QTest::newRow("postgres composite key referenced by two tables")
            << "postgres"
            << "warehouses" << 0 << keyTexts("1|warehouse_id|warehouses_pkey;2|site_code|warehouses_pkey")
            << QStringList() << whFrom;
        QTest::newRow("mariadb composite key referenced by two tables")
            << "mariadb"
            << "warehouses" << 0 << keyTexts("1|warehouse_id|PRIMARY;2|site_code|PRIMARY") << QStringList()
            << whFrom;
        QTest::newRow("sqlite self-reference")
            << "sqlite"
            << "staff" << 0 << keyTexts("1|staff_id|") << keyTexts("manager_id|staff|staff_id")
            << keyTexts("staff|manager_id|staff_id;shipments|handled_by|staff_id");
        QTest::newRow("postgres self-reference")
            << "postgres"
            << "staff" << 0 << keyTexts("1|staff_id|staff_pkey") << keyTexts("manager_id|staff|staff_id")
            << keyTexts("staff|manager_id|staff_id;shipments|handled_by|staff_id");
        QTest::newRow("mariadb self-reference")
            << "mariadb"
            << "staff" << 0 << keyTexts("1|staff_id|PRIMARY") << keyTexts("manager_id|staff|staff_id")
            << keyTexts("shipments|handled_by|staff_id;staff|manager_id|staff_id");
        QTest::newRow("sqlite references to two tables")
            << "sqlite"
            << "shipments" << 0 << keyTexts("1|shipment_id|")
            << keyTexts("handled_by|staff|staff_id;warehouse_id|warehouses|warehouse_id;site_code|warehouses|"
                        "site_code")
            << QStringList();
        QTest::newRow("postgres references to two tables")
            << "postgres"
            << "shipments" << 0 << keyTexts("1|shipment_id|shipments_pkey")
            << keyTexts("warehouse_id|warehouses|warehouse_id;site_code|warehouses|site_code;handled_by|"
                        "staff|staff_id")
            << QStringList();
        QTest::newRow("mariadb references to two tables")
            << "mariadb"
            << "shipments" << 0 << keyTexts("1|shipment_id|PRIMARY")
            << keyTexts("handled_by|staff|staff_id;warehouse_id|warehouses|warehouse_id;site_code|warehouses|"
                        "site_code")
            << QStringList();
        // Where two schemas hold a name, the tree writes each with its owner.
        QTest::newRow("postgres referenced from a second schema")
            << "postgres"
            << "public.customers" << 0 << keyTexts("1|customer_id|customers_pkey") << QStringList()
            << keyTexts("orders|customer_id|customer_id;customer_moves|customer_id|customer_id");
        QTest::newRow("postgres same-named table of the second schema")
            << "postgres"
            << "archive.customers" << 0 << keyTexts("1|archive_customer_id|customers_pkey") << QStringList()
            << QStringList();
        QTest::newRow("sqlite table without primary key")
            << "sqlite"
            << "sales-2025" << 0 << QStringList() << QStringList() << QStringList();
    }

    void keyListsInDriverOrder()
    {
        QFETCH(QString, source);
        QFETCH(QString, table);
        QFETCH(int, occurrence);
        OPEN_EXPLORER(explorer, source);
        auto sheet = explorer->SheetFor(explorer->Object(table, occurrence));
        QVERIFY(sheet);
        QCOMPARE(sheet->windowTitle(), QStringLiteral("Object Properties"));
        QStringList titles;
        for (int index = 0; index < sheet->Tabs()->count(); ++index)
            titles.append(sheet->Tabs()->tabText(index));
        QCOMPARE(titles, (QStringList{"General", "Primary Keys", "Foreign Keys", "Reference Foreign Keys"}));
        QTEST(keyRows(*explorer, *sheet, 1), "primaryKeys");
        const QTreeWidget* keys = qobject_cast<CPropKeys*>(sheet->Page(1))->List();
        QCOMPARE(keys->columnWidth(0), keys->viewport()->width() / 5);
        QCOMPARE(keys->columnWidth(1), 2 * keys->viewport()->width() / 5);
        QTEST(keyRows(*explorer, *sheet, 2), "toOthers");
        QTEST(keyRows(*explorer, *sheet, 3), "fromOthers");
        QCOMPARE(field(sheet->Page(1), QStringLiteral("Name:")), table.section(QLatin1Char('.'), -1));
        QCOMPARE(explorer->prompt.messages, QStringList());
    }

    void tableGeneralPage_data() { sourceRows(); }

    void tableGeneralPage()
    {
        QFETCH(QString, source);
        OPEN_EXPLORER(explorer, source);
        auto sheet = explorer->SheetFor(explorer->Object(QStringLiteral("order_lines")));
        QVERIFY(sheet);
        QWidget* page = sheet->Page(0);
        QCOMPARE(field(page, QStringLiteral("Name:")), QStringLiteral("order_lines"));
        QCOMPARE(field(page, QStringLiteral("Object Type:")), QStringLiteral("TABLE"));
        const auto object = explorer->Entry()->session->Model().Objects().Find(QStringLiteral("order_lines"));
        QCOMPARE(field(page, QStringLiteral("Schema:")), object->Owner());
        QCOMPARE(field(page, QStringLiteral("Catalog:")), object->Qualifier());
        QCOMPARE(field(page, QStringLiteral("Columns shown:")),
                 QString::number(object->Columns()->columns.size()));
        QCOMPARE(field(page, QStringLiteral("Indexes shown:")),
                 QString::number(object->Indexes()->indexes.size()));
        QVERIFY(!page->findChild<QLabel*>(QStringLiteral("kindIcon"))->pixmap().isNull());
        // None of the three drivers gives a table statistics row.
        QTRY_COMPARE(field(page, QStringLiteral("Number of Rows:")), QStringLiteral("N/A"));
        QCOMPARE(field(page, QStringLiteral("Number of Pages:")), QStringLiteral("N/A"));
        QVERIFY(page->findChild<QCheckBox*>()->isChecked());
        QTRY_VERIFY(explorer->PropertyWorkDone());
        QCOMPARE(explorer->prompt.messages, QStringList());
        const QString shots = qEnvironmentVariable("VELKARO_PROPERTY_SHOTS");
        for (int index = 0; !shots.isEmpty() && index < sheet->Tabs()->count(); ++index) {
            sheet->Tabs()->setCurrentIndex(index);
            QVERIFY(QTest::qWaitFor([&] { return explorer->PropertyWorkDone(); }, 10000));
            QTest::qWait(50);
            QVERIFY(sheet->grab().save(
                QDir(shots).filePath(QStringLiteral("%1-tab%2.png").arg(source).arg(index))));
        }
    }

    void indexPage_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("index");
        QTest::addColumn<QString>("uniqueness");
        QTest::addColumn<bool>("cardinality"); // the driver reports one
        QTest::newRow("sqlite filtered index") << "sqlite"
                                               << "shipments"
                                               << "shipments_open_ix"
                                               << "NOT UNIQUE " << false;
        QTest::newRow("postgres filtered index") << "postgres"
                                                 << "shipments"
                                                 << "shipments_open_ix"
                                                 << "NOT UNIQUE " << false;
        QTest::newRow("mariadb unique index") << "mariadb"
                                              << "customers"
                                              << "customers_email_ux"
                                              << "UNIQUE " << true;
    }

    void indexPage()
    {
        QFETCH(QString, source);
        QFETCH(QString, table);
        QFETCH(QString, index);
        QFETCH(bool, cardinality);
        OPEN_EXPLORER(explorer, source);
        const NodeId node = explorer->Hub().Tree().FindChildByText(explorer->Object(table), index);
        auto sheet = explorer->SheetFor(node);
        QVERIFY(sheet);
        QCOMPARE(sheet->windowTitle(), QStringLiteral("Index Properties"));
        QWidget* page = sheet->Page(0);
        QCOMPARE(field(page, QStringLiteral("Name:")), index);
        QTEST(field(page, QStringLiteral("Index Type:")), "uniqueness");
        // Fetched after a short delay, on a property thread.
        QCOMPARE(field(page, QStringLiteral("Number of Unique Values:")), QString());
        QTRY_VERIFY(!field(page, QStringLiteral("Number of Unique Values:")).isEmpty() &&
                    field(page, QStringLiteral("Number of Unique Values:")) !=
                        QStringLiteral("Please wait..."));
        bool isNumber = false;
        field(page, QStringLiteral("Number of Unique Values:")).toInt(&isNumber);
        QCOMPARE(isNumber, cardinality);
        if (!cardinality)
            QCOMPARE(field(page, QStringLiteral("Number of Unique Values:")), QStringLiteral("N/A"));
        QCOMPARE(field(page, QStringLiteral("Number of Pages:")), QStringLiteral("N/A"));
        // No driver reports a filter condition, not even for a partial index.
        QCOMPARE(field(page, QStringLiteral("Filter Condition")), QString());
        QCOMPARE(explorer->prompt.messages, QStringList());
    }

    void databasePagesCountTheModel_data() { sourceRows(); }

    void databasePagesCountTheModel()
    {
        QFETCH(QString, source);
        OPEN_EXPLORER(explorer, source);
        auto sheet = explorer->SheetFor(explorer->Database());
        QVERIFY(sheet);
        QCOMPARE(sheet->windowTitle(), QStringLiteral("Database Properties"));
        QWidget* page = sheet->Page(0);
        int tables = 0;
        int views = 0;
        int other = 0;
        int columns = 0;
        int indexes = 0;
        int indexColumns = 0;
        for (const auto& object : explorer->Entry()->session->Objects()) {
            tables += object->Type() == QLatin1String("TABLE");
            views += object->Type() == QLatin1String("VIEW");
            other += object->Type() != QLatin1String("TABLE") && object->Type() != QLatin1String("VIEW") &&
                     object->Type() != QLatin1String("SEQUENCE");
            columns += object->Columns() ? static_cast<int>(object->Columns()->columns.size()) : 0;
            for (const IndexRecord& index :
                 object->Indexes() ? object->Indexes()->indexes : std::vector<IndexRecord>{}) {
                ++indexes;
                indexColumns += static_cast<int>(index.columnNames.size());
            }
        }
        QTRY_COMPARE(field(page, QStringLiteral("Columns:")), QString::number(columns));
        QCOMPARE(field(page, QStringLiteral("Tables:")), QString::number(tables));
        QCOMPARE(field(page, QStringLiteral("Views:")), QString::number(views));
        QCOMPARE(field(page, QStringLiteral("Indexes:")), QString::number(indexes));
        QCOMPARE(field(page, QStringLiteral("Index Columns:")), QString::number(indexColumns));
        QCOMPARE(field(page, QStringLiteral("Other:")).toInt() +
                     field(page, QStringLiteral("System Tables:")).toInt() +
                     field(page, QStringLiteral("Synonyms:")).toInt(),
                 other);
        QVERIFY(explorer->Hub().GetDatabaseCounters().Done());
        const CDbSession& session = *explorer->Entry()->session;
        QCOMPARE(field(page, QStringLiteral("Database:")), QStringLiteral("Shop"));
        QCOMPARE(field(page, QStringLiteral("DBMS:")), session.DbmsName());
        QVERIFY(QDateTime::fromString(field(page, QStringLiteral("Last Refreshed:")),
                                      QStringLiteral("MM/dd/yyyy HH:mm:ss"))
                    .isValid());
        sheet->Tabs()->setCurrentIndex(1);
        QCOMPARE(sheet->Tabs()->tabText(1), QStringLiteral("ODBC"));
        QCOMPARE(field(sheet->Page(1), QStringLiteral("Data Source Name:")), session.DataSourceName());
        QCOMPARE(field(sheet->Page(1), QStringLiteral("Driver Name:")), session.DriverName());
    }

    void explorerPage()
    {
        OPEN_EXPLORER(explorer, QStringLiteral("sqlite"));
        auto sheet = explorer->SheetFor(explorer->Hub().Tree().Root());
        QVERIFY(sheet);
        QCOMPARE(sheet->windowTitle(), QStringLiteral("Velkaro Properties"));
        QWidget* page = sheet->Page(0);
        QCOMPARE(field(page, QStringLiteral("Number of Databases:")), QStringLiteral("1"));
        QCOMPARE(field(page, QStringLiteral("Databases currently in use:")), QStringLiteral("0"));
        QCOMPARE(field(page, QStringLiteral("Up Since:")),
                 QDateTime::fromSecsSinceEpoch(explorer->Hub().StartTime())
                     .toString(QStringLiteral("MM/dd/yyyy HH:mm:ss")));
        // Recounted every second.
        explorer->Entry()->inUse->store(1);
        QTRY_COMPARE(field(page, QStringLiteral("Databases currently in use:")), QStringLiteral("1"));
        explorer->Entry()->inUse->store(0);
    }

    void databaseInUse_data() { sourceRows(); }

    void databaseInUse()
    {
        QFETCH(QString, source);
        OPEN_EXPLORER(explorer, source);
        // As while a refresh works on it.
        explorer->Entry()->inUse->store(1);
        auto sheet = explorer->SheetFor(explorer->Object(QStringLiteral("orders")));
        QVERIFY(sheet);
        QTRY_COMPARE(field(sheet->Page(0), QStringLiteral("Number of Rows:")), kInUse);
        QCOMPARE(field(sheet->Page(0), QStringLiteral("Number of Pages:")), kInUse);
        for (int index = 1; index <= 3; ++index)
            QCOMPARE(keyRows(*explorer, *sheet, index),
                     QStringList{QLatin1Char('|') + kInUse + QLatin1Char('|')});
        explorer->Entry()->inUse->store(0);
        QCOMPARE(explorer->prompt.messages, QStringList());
    }

    void statisticsSwitchOff()
    {
        OPEN_EXPLORER(explorer, QStringLiteral("postgres"));
        explorer->store.WriteInt(QStringLiteral("ObjLook"), QStringLiteral("DOST"), 0);
        const int started = explorer->Hub().Workers().PropertyThreads().StartedCount();
        auto sheet = explorer->SheetFor(explorer->Object(QStringLiteral("orders")));
        QVERIFY(sheet);
        QWidget* page = sheet->Page(0);
        QCOMPARE(field(page, QStringLiteral("Number of Rows:")), QStringLiteral("Not Calculated..."));
        QCOMPARE(field(page, QStringLiteral("Number of Pages:")), QStringLiteral("Not Calculated..."));
        auto* calculate = page->findChild<QCheckBox*>();
        QCOMPARE(calculate->text(), QStringLiteral("Calculate statistics next time"));
        QVERIFY(!calculate->isChecked());
        QTest::qWait(200);
        // Not a single query thread, so not a single catalog call.
        QCOMPARE(explorer->Hub().Workers().PropertyThreads().StartedCount(), started);

        calculate->click(); // written at once, used by the next sheet
        QCOMPARE(explorer->store.ReadInt(QStringLiteral("ObjLook"), QStringLiteral("DOST"), -1), 1);
        QCOMPARE(explorer->Hub().GetLookupSettings().DOST.load(), 1);
        QCOMPARE(field(page, QStringLiteral("Number of Rows:")), QStringLiteral("Not Calculated..."));
        sheet.reset();
        sheet = explorer->SheetFor(explorer->Object(QStringLiteral("orders")));
        QTRY_COMPARE(field(sheet->Page(0), QStringLiteral("Number of Rows:")), QStringLiteral("N/A"));
        QVERIFY(explorer->Hub().Workers().PropertyThreads().StartedCount() > started);
    }

    void columnRefreshedAwayFromTheList()
    {
        OPEN_EXPLORER(explorer, QStringLiteral("sqlite"));
        const NodeId table = explorer->Object(QStringLiteral("customers"));
        QVERIFY(explorer->tree->SelectNode(table));
        QTRY_VERIFY(explorer->list->SelectRowByText(QStringLiteral("email")));
        PropertiesCommand command(*explorer->tree, *explorer->list, explorer->store, explorer->prompt);
        auto sheet = command.MakeSheet(nullptr);
        QVERIFY(sheet);
        sheet->show();
        QCOMPARE(sheet->windowTitle(), QStringLiteral("Column Properties"));
        QCOMPARE(field(sheet->Page(0), QStringLiteral("Column Name:")), QStringLiteral("email"));
        QCOMPARE(field(sheet->Page(0), QStringLiteral("On:")), QStringLiteral("customers"));
        QCOMPARE(field(sheet->Page(0), QStringLiteral("Remarks")), QString());
        sheet.reset();
        QCOMPARE(explorer->prompt.messages, QStringList());

        // A refresh of the table that no longer finds the column.
        explorer->Entry()->session->Model().Objects().Find(QStringLiteral("customers"))->SetColumns({});
        sheet = command.MakeSheet(nullptr);
        QVERIFY(sheet);
        sheet->show();
        QCOMPARE(explorer->prompt.messages, QStringList{QStringLiteral("Could not load Column Properties.")});
        QCOMPARE(field(sheet->Page(0), QStringLiteral("Column Name:")), QString());
    }

    void selectionsWithoutSheet()
    {
        OPEN_EXPLORER(explorer, QStringLiteral("sqlite"));
        PropertiesCommand command(*explorer->tree, *explorer->list, explorer->store, explorer->prompt);
        const NodeId index = explorer->Hub().Tree().FindChildByText(
            explorer->Object(QStringLiteral("customers")), QStringLiteral("customers_city_ix"));
        QVERIFY(explorer->tree->SelectNode(index));
        QTRY_VERIFY(explorer->list->SelectRowByText(QStringLiteral("city")));
        QCOMPARE(explorer->list->SelectedRowKind(), 5);
        QVERIFY(!command.MakeSheet(nullptr)); // an index column
        QCOMPARE(explorer->prompt.messages, QStringList());
    }

    void sheetClosesWhileKeyQueryWaitsOnALock()
    {
        OPEN_EXPLORER(explorer, QStringLiteral("postgres"));
        QProcess locker;
        locker.setProcessChannelMode(QProcess::MergedChannels);
        locker.start(QStringLiteral("psql"), postgresSuperuserPsqlArguments());
        QVERIFY(locker.waitForStarted());
        locker.write("BEGIN;\nLOCK TABLE pg_catalog.pg_constraint IN ACCESS EXCLUSIVE MODE;\n");
        QVERIFY(QTest::qWaitFor(
            [&] { return locker.readAll().contains("LOCK TABLE") || locker.state() != QProcess::Running; },
            10000));
        QVERIFY(locker.state() == QProcess::Running);

        explorer->store.WriteInt(QStringLiteral("ObjLook"), QStringLiteral("DOST"), 0);
        auto sheet = explorer->SheetFor(explorer->Object(QStringLiteral("orders")));
        QVERIFY(sheet);
        sheet->Tabs()->setCurrentIndex(2);
        auto* page = qobject_cast<CPropKeys*>(sheet->Page(2));
        QTest::qWait(300);
        QCOMPARE(rows(page->List()), QStringList{QStringLiteral("|Please wait...|")});
        QVERIFY(explorer->Hub().Workers().PropertyWorkRunning());

        sheet->reject();
        QVERIFY(!sheet->isVisible()); // at once, while the query still waits
        QVERIFY(explorer->Hub().Workers().PropertyWorkRunning());
        sheet.reset();

        locker.write("COMMIT;\n");
        locker.closeWriteChannel();
        QVERIFY(locker.waitForFinished(10000));
        // The answer arrives for a page that is gone and is dropped.
        QTRY_VERIFY_WITH_TIMEOUT(explorer->PropertyWorkDone(), 20000);
        QTest::qWait(50);
        QCOMPARE(explorer->prompt.messages, QStringList());
    }

    void failedCallsShowTheDriverMessageOnce()
    {
        OPEN_EXPLORER(explorer, QStringLiteral("postgres"));
        // The server ends the explorer's connection: every later catalog call fails.
        QStringList arguments = postgresSuperuserPsqlArguments();
        arguments << QStringLiteral("-c")
                  << QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity "
                                    "WHERE usename = 'velkaro' AND datname = 'shop'");
        QCOMPARE(QProcess::execute(QStringLiteral("psql"), arguments), 0);

        auto sheet = explorer->SheetFor(explorer->Object(QStringLiteral("orders")));
        QVERIFY(sheet);
        QTRY_COMPARE(field(sheet->Page(0), QStringLiteral("Number of Rows:")), QStringLiteral("N/A"));
        QCOMPARE(field(sheet->Page(0), QStringLiteral("Number of Pages:")), QStringLiteral("N/A"));
        QTRY_VERIFY(explorer->PropertyWorkDone());
        QCOMPARE(explorer->prompt.messages.size(), 1);
        QVERIFY(!explorer->prompt.messages.first().isEmpty());
        for (int index = 1; index <= 3; ++index)
            QCOMPARE(keyRows(*explorer, *sheet, index), QStringList());
        QCOMPARE(explorer->prompt.messages.removeDuplicates(), 0);
    }

    void propertiesCommandInTheWindow()
    {
        ProfileStore store(QStringLiteral("Velkaro"));
        QTemporaryDir logDir;
        store.WriteString(QStringLiteral("Log"), QStringLiteral("File"),
                          logDir.filePath(QStringLiteral("velkaro")));
        RecordingPrompt prompt;
        CMainFrame frame(store, prompt);
        frame.StartUp();
        QAction* properties = frame.GetCommands().properties;
        QVERIFY(properties);
        QCOMPARE(properties->text(), QStringLiteral("&Properties"));
        QCOMPARE(properties->shortcut(), QKeySequence(Qt::ALT | Qt::Key_Return));
        QMenu* view = nullptr;
        for (QAction* menu : frame.menuBar()->actions()) {
            if (menu->text() == QStringLiteral("&View"))
                view = menu->menu();
        }
        QVERIFY(view && view->actions().contains(properties));
        QVERIFY(frame.ToolBar()->actions().contains(properties));
        QVERIFY(frame.ContextMenu()->actions().contains(properties));

        // The focus in the tree on the root.
        frame.activateWindow();
        frame.LeftView()->setFocus();
        QTRY_VERIFY(frame.LeftView()->hasFocus());
        QString title;
        QTimer::singleShot(0, this, [&title] {
            if (QWidget* sheet = QApplication::activeModalWidget()) {
                title = sheet->windowTitle();
                qobject_cast<QDialog*>(sheet)->reject();
            }
        });
        properties->trigger();
        QCOMPARE(title, QStringLiteral("Velkaro Properties"));
        frame.close();
    }
};

QTEST_MAIN(PropertySheetTest)
#include "PropertySheetTest.moc"

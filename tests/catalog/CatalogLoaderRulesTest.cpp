// The rules of the retrieval that the user's switches and the Stop command steer: type filters,
// deferred and switched-off details, refused tree nodes, stop requests and their log lines.

#include "CatalogTestFixture.h"
#include "TestDataSources.h"
#include "catalog/ColumnLoader.h"
#include "catalog/IndexLoader.h"

#include <QTest>

using namespace velkaro;
using namespace velkaro::test;

namespace {

const QString stopObjects = QStringLiteral("Working thread terminated while retrieving objects.");
const QString stopColumns = QStringLiteral("Working thread terminated while retrieving columns.");
const QString stopIndexes = QStringLiteral("Working thread terminated while retrieving indexes.");

// The sample's SQLite catalog lists customers, products, orders, order_lines, order_totals, ...
const TestDataSource& sqlite()
{
    return testDataSource("sqlite");
}

} // namespace

class CatalogLoaderRulesTest final : public QObject
{
    Q_OBJECT

private slots:
    void columnTexts_data();
    void columnTexts();
    void typeFilters_data();
    void typeFilters();
    void otherTypesGetColumnsButNoIndexes();
    void loadedEntriesAreLogged();
    void indexColumnsSwitchedOff();
    void detailsWaitForAccess();
    void refusedNodes_data();
    void refusedNodes();
    void stopRequests_data();
    void stopRequests();
    void driverErrorIsLogged();
};

void CatalogLoaderRulesTest::columnTexts_data()
{
    QTest::addColumn<QString>("typeName");
    QTest::addColumn<int>("precision");
    QTest::addColumn<int>("scale");
    QTest::addColumn<int>("radix");
    QTest::addColumn<int>("nullable");
    QTest::addColumn<QString>("size");
    QTest::addColumn<QString>("radixText");
    QTest::addColumn<QString>("nullability");

    QTest::newRow("DATE with precision 10 has no size") << "DATE" << 10 << 0 << 0 << 0 << ""
                                                        << "N/A"
                                                        << "NOT NULL";
    QTest::newRow("lower-case date has no size") << "date" << 10 << 0 << 0 << 1 << ""
                                                 << "N/A"
                                                 << "NULL";
    QTest::newRow("DATETIME has no size") << "DATETIME" << 19 << 0 << 10 << 1 << ""
                                          << "10"
                                          << "NULL";
    QTest::newRow("TIMESTAMP 23,3") << "TIMESTAMP" << 23 << 3 << 10 << 1 << "23,3"
                                    << "10"
                                    << "NULL";
    QTest::newRow("DECIMAL 10,2") << "DECIMAL" << 10 << 2 << 10 << 1 << "10,2"
                                  << "10"
                                  << "NULL";
    QTest::newRow("VARCHAR 30 without scale") << "VARCHAR" << 30 << 0 << 0 << 1 << "30"
                                              << "N/A"
                                              << "NULL";
    QTest::newRow("NUMERIC with NULL radix") << "NUMERIC" << 10 << 0 << 0 << 1 << "10"
                                             << "N/A"
                                             << "NULL";
    QTest::newRow("no precision, no size") << "BLOB" << 0 << 0 << 0 << 1 << ""
                                           << "N/A"
                                           << "NULL";
    QTest::newRow("only low 16 bits of radix") << "INTEGER" << 10 << 0 << 0x1000A << 0 << "10"
                                               << "10"
                                               << "NOT NULL";
    QTest::newRow("radix 0 in low bits") << "INTEGER" << 10 << 0 << 0x10000 << 0 << "10"
                                         << "N/A"
                                         << "NOT NULL";
    QTest::newRow("nullability unknown") << "TEXT" << 0 << 0 << 0 << 2 << ""
                                         << "N/A"
                                         << "";
}

void CatalogLoaderRulesTest::columnTexts()
{
    QFETCH(QString, typeName);
    QFETCH(int, precision);
    QFETCH(int, scale);
    QFETCH(int, radix);
    QFETCH(int, nullable);
    QTEST(ColumnLoader::SizeText(typeName, precision, scale), "size");
    QTEST(ColumnLoader::RadixText(radix), "radixText");
    QTEST(ColumnLoader::NullabilityText(nullable), "nullability");
}

void CatalogLoaderRulesTest::typeFilters_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("switchedOff");
    QTest::addColumn<bool>("lany");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("expectedLine");

    QTest::newRow("tables off, logged") << "sqlite"
                                        << "otab" << true << "TABLE"
                                        << "TABLE customers skipped by user choice.";
    QTest::newRow("tables off, not logged") << "sqlite"
                                            << "otab" << false << "TABLE"
                                            << "";
    QTest::newRow("views off, logged") << "sqlite"
                                       << "oview" << true << "VIEW"
                                       << "VIEW order_totals skipped by user choice.";
    QTest::newRow("sequences off, logged") << "mariadb"
                                           << "oseq" << true << "SEQUENCE"
                                           << "SEQUENCE invoice_seq skipped by user choice.";
    QTest::newRow("other types are off by default") << "mariadb"
                                                    << "" << true << "SYSTEM VIEW"
                                                    << "SYSTEM VIEW COLUMNS skipped by user choice.";
}

void CatalogLoaderRulesTest::typeFilters()
{
    QFETCH(QString, source);
    QFETCH(QString, switchedOff);
    QFETCH(bool, lany);
    QFETCH(QString, type);
    QFETCH(QString, expectedLine);
    VELKARO_REQUIRE_DATA_SOURCE(testDataSource(source));
    CatalogTestFixture f(testDataSource(source));
    f.host.settings.lany = lany;
    f.host.settings.otab = switchedOff != "otab";
    f.host.settings.oview = switchedOff != "oview";
    f.host.settings.oseq = switchedOff != "oseq";
    f.loadObjects();

    QVERIFY(f.objectNames(type).isEmpty());
    QVERIFY(!f.model.Objects().Snapshot().empty());
    QCOMPARE(f.host.objectNodeNames().size(), f.model.Objects().size());
    const QStringList skipped = f.host.logLinesWith(" skipped by user choice.");
    if (expectedLine.isEmpty())
        QVERIFY(skipped.isEmpty());
    else
        QVERIFY2(skipped.contains(expectedLine), qPrintable(skipped.join('\n')));
}

void CatalogLoaderRulesTest::otherTypesGetColumnsButNoIndexes()
{
    VELKARO_REQUIRE_DATA_SOURCE(testDataSource("mariadb"));
    CatalogTestFixture f(testDataSource("mariadb"));
    f.host.settings.oothers = true;
    f.host.settings.lcol = false;
    f.host.settings.lind = false;
    f.loadObjects();
    const auto systemView = f.object("COLUMNS");
    QVERIFY(systemView);
    QCOMPARE(systemView->Type(), QStringLiteral("SYSTEM VIEW"));
    QVERIFY(f.columnNames(*systemView).contains("TABLE_NAME"));
    QVERIFY(systemView->Indexes()->indexes.empty());
    QVERIFY(f.host.indexNodeNames("COLUMNS").isEmpty());
}

void CatalogLoaderRulesTest::loadedEntriesAreLogged()
{
    VELKARO_REQUIRE_DATA_SOURCE(sqlite());
    CatalogTestFixture f(sqlite());
    f.loadObjects();
    const QStringList log = f.host.logLines();
    QVERIFY(log.contains("ShopSQLite: Object customers loaded."));
    QVERIFY(log.contains("ShopSQLite: customers: Column email loaded."));
    QVERIFY(log.contains("ShopSQLite: orders: orders_customer_date_ix: Index Column ordered_at loaded."));
    QVERIFY(log.indexOf("ShopSQLite: Object customers loaded.") <
            log.indexOf("ShopSQLite: customers: Column customer_id loaded."));

    CatalogTestFixture quiet(sqlite());
    quiet.host.settings.lobj = quiet.host.settings.lcol = quiet.host.settings.lind = false;
    quiet.loadObjects();
    QCOMPARE(quiet.host.logLines(), QStringList());
}

void CatalogLoaderRulesTest::indexColumnsSwitchedOff()
{
    VELKARO_REQUIRE_DATA_SOURCE(sqlite());
    CatalogTestFixture f(sqlite());
    f.host.settings.oindcol = false;
    f.host.settings.lany = true;
    f.loadObjects();
    const auto orders = f.object("orders");
    QVERIFY(!orders->Indexes()->indexes.empty());
    for (const IndexRecord& index : orders->Indexes()->indexes)
        QVERIFY(index.columnNames.isEmpty());
    const QStringList skipped = f.host.logLinesWith("INDEX orders.");
    QVERIFY(skipped.contains("INDEX orders.orders_customer_date_ix columns skipped by user choice."));
    QCOMPARE(skipped.size(), int(orders->Indexes()->indexes.size())); // once per index, not per row
    QVERIFY(f.host.logLinesWith(": Index Column ").isEmpty());
}

void CatalogLoaderRulesTest::detailsWaitForAccess()
{
    VELKARO_REQUIRE_DATA_SOURCE(sqlite());
    CatalogTestFixture f(sqlite());
    f.host.settings.racol = true;
    f.loadObjects();
    const auto customers = f.object("customers");
    QVERIFY(customers);
    QVERIFY(customers->Columns()->columns.empty());
    QCOMPARE(customers->Columns()->maxColumnNameLen, 0);
    QVERIFY(customers->Indexes()->indexes.empty());
    QVERIFY(f.host.indexNodeNames("customers").isEmpty());

    // Accessing the object loads its details.
    LoadJob access = f.job;
    access.explicitLoad = true;
    ColumnLoader(f.connection.catalog()).Load(access, f.host.databaseNode(), *customers);
    IndexLoader(f.connection.catalog()).Load(access, f.host.databaseNode(), *customers);
    QCOMPARE(f.columnNames(*customers),
             (QStringList{"customer_id", "name", "email", "city", "created", "notes"}));
    QCOMPARE(customers->Columns()->maxColumnNameLen, int(QStringLiteral("customer_id").size()));
    QCOMPARE(int(customers->Indexes()->indexes.size()), 3);

    // The same access without the explicit flag keeps waiting and drops what was there.
    ColumnLoader(f.connection.catalog()).Load(f.job, f.host.databaseNode(), *customers);
    QVERIFY(customers->Columns()->columns.empty());
}

void CatalogLoaderRulesTest::refusedNodes_data()
{
    QTest::addColumn<int>("refuseObject");
    QTest::addColumn<int>("refuseIndex");
    QTest::addColumn<QString>("expectedLine");
    QTest::addColumn<int>("objectsKept");

    QTest::newRow("second object refused")
        << 2 << 0
        << "Error adding object TABLE products to view, terminating object "
           "retrieval."
        << 2;
    QTest::newRow("second index of customers refused")
        << 0 << 2
        << "Error adding index customers_city_ix to view, terminating indexes retrieval for table customers"
        << -1;
}

void CatalogLoaderRulesTest::refusedNodes()
{
    QFETCH(int, refuseObject);
    QFETCH(int, refuseIndex);
    QFETCH(QString, expectedLine);
    QFETCH(int, objectsKept);
    VELKARO_REQUIRE_DATA_SOURCE(sqlite());
    CatalogTestFixture f(sqlite());
    f.host.settings.lany = true;
    f.host.refuseObjectNode = refuseObject;
    f.host.refuseIndexNode = refuseIndex;
    f.loadObjects();
    QVERIFY2(f.host.logLines().contains(expectedLine), qPrintable(f.host.logLines().join('\n')));
    if (objectsKept >= 0) {
        QCOMPARE(f.model.Objects().size(), objectsKept);
        QCOMPARE(f.host.repaints.load(), 1); // the first object's columns; none at the end
    } else {
        // The index list keeps what was added before the refusal; the other objects still load.
        const auto customers = f.object("customers");
        QCOMPARE(int(customers->Indexes()->indexes.size()), 2);
        QVERIFY(f.object("group"));
    }
}

void CatalogLoaderRulesTest::stopRequests_data()
{
    QTest::addColumn<QString>("trigger"); // what sets the stop flag
    QTest::addColumn<int>("count");       // at which occurrence
    QTest::addColumn<QStringList>("stopLines");
    QTest::addColumn<int>("objects");
    QTest::addColumn<int>("columnsOfLast"); // what was read before the stop stays
    QTest::addColumn<bool>("indexesOfLast");

    QTest::newRow("during columns of the third object")
        << "column log" << 13 << QStringList{stopColumns, stopObjects} << 3 << 1 << false;
    QTest::newRow("before the columns of the third object")
        << "object node" << 3 << QStringList{stopColumns, stopObjects} << 3 << 0 << false;
    QTest::newRow("during index rows")
        << "index log" << 1 << QStringList{stopIndexes, stopObjects} << 1 << 6 << true;
    QTest::newRow("after columns, before indexes")
        << "repaint" << 1 << QStringList{stopObjects} << 1 << 6 << false;
    QTest::newRow("between rows") << "skipped log" << 1 << QStringList{stopObjects} << 0 << 0 << false;
    QTest::newRow("before the previous model is released")
        << "reload" << 0 << QStringList{stopObjects} << 17 << 4 << true;
}

void CatalogLoaderRulesTest::stopRequests()
{
    QFETCH(QString, trigger);
    QFETCH(int, count);
    VELKARO_REQUIRE_DATA_SOURCE(sqlite());
    CatalogTestFixture f(sqlite());
    auto counter = std::make_shared<int>(0);
    auto stopAt = [&f, counter, count] {
        if (++*counter == count)
            f.host.terminate = true;
    };
    if (trigger == "column log" || trigger == "index log" || trigger == "skipped log") {
        const QString marker = trigger == "column log"  ? QStringLiteral(": Column ")
                               : trigger == "index log" ? QStringLiteral(": Index Column ")
                                                        : QStringLiteral(" skipped by user choice.");
        f.host.settings.lany = true;
        f.host.settings.otab = trigger != "skipped log";
        f.host.onLog = [marker, stopAt](const QString& line) {
            if (line.contains(marker))
                stopAt();
        };
    } else if (trigger == "object node") {
        f.host.onObjectNode = [stopAt](int) { stopAt(); };
    } else if (trigger == "repaint") {
        f.host.settings.oind = true;
        f.host.onLog = [&f](const QString& line) {
            if (line.startsWith("ShopSQLite: customers: Column notes"))
                f.host.terminate = true; // the last column: the stop is seen after the fetch ends
        };
    } else if (trigger == "reload") {
        f.loadObjects();
        f.host.terminate = true;
    }
    f.loadObjects();

    QTEST(f.host.logLinesWith("Working thread terminated"), "stopLines");
    QCOMPARE(f.job.inUse->load(), 0);
    QTEST(f.model.Objects().size(), "objects");
    const auto objects = f.model.Objects().Snapshot();
    if (!objects.empty()) {
        QTEST(int(objects.back()->Columns()->columns.size()), "columnsOfLast");
        QTEST(!objects.back()->Indexes()->indexes.empty(), "indexesOfLast");
    }
}

void CatalogLoaderRulesTest::driverErrorIsLogged()
{
    // MariaDB knows no owners: naming one is an error the driver explains.
    VELKARO_REQUIRE_DATA_SOURCE(testDataSource("mariadb"));
    CatalogTestFixture f(testDataSource("mariadb"));
    auto record = std::make_shared<ObjectRecord>("orders", "SOMEONE", "TABLE", "shop", "");
    ColumnLoader(f.connection.catalog()).Load(f.job, f.host.databaseNode(), *record);
    const QStringList errors = f.host.logLinesWith("ERROR: ");
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors.front().contains("Schemas are not supported"), qPrintable(errors.front()));
    QVERIFY(record->Columns()->columns.empty());
    QCOMPARE(f.host.repaints.load(), 0);
}

QTEST_GUILESS_MAIN(CatalogLoaderRulesTest)
#include "CatalogLoaderRulesTest.moc"

// The catalog retrieval against the three sample data sources: the model must hold what each
// server holds, however the drivers differ.

#include "CatalogTestFixture.h"
#include "TestDataSources.h"
#include "catalog/KeyLoader.h"
#include "catalog/ObjectListLoader.h"
#include "catalog/SearchObjectListLoader.h"
#include "catalog/StatisticsLoader.h"

#include <QSet>
#include <QTest>
#include <algorithm>

using namespace velkaro;
using namespace velkaro::test;

namespace {

const QString longMariaName = QString(44, QChar(0x8868)); // 44 CJK letters, 132 bytes in UTF-8

QStringList sampleTables(const QString& key)
{
    QStringList tables{"customers",     "products",   "orders", "order_lines", "stock_item", "stockXitem",
                       "Order Archive", "sales-2025", "2fast",  "MixedCase",   "Größe",      "group"};
    tables << "warehouses"
           << "staff"
           << "shipments"
           << "stock_counts"; // the keys of the property sheets
    if (key == QLatin1String("postgres"))
        tables << "customers"
               << "customer_moves"; // the archive schema's own
    if (key == QLatin1String("mariadb"))
        tables << longMariaName << "zz_after_long_name";
    tables.sort();
    return tables;
}

QString sampleQualifier(const QString& key)
{
    return key == QLatin1String("sqlite") ? QString() : QStringLiteral("shop");
}

QStringList namesOfType(const CatalogTestFixture& fixture, const QString& qualifier, const QString& type)
{
    QStringList names;
    for (const auto& record : fixture.model.Objects().Snapshot()) {
        if (record->Qualifier() == qualifier && record->Type() == type)
            names.append(record->Name());
    }
    names.sort();
    return names;
}

void addSourceRows()
{
    QTest::addColumn<QString>("source");
    for (const TestDataSource& source : testDataSources())
        QTest::newRow(qPrintable(source.key)) << source.key;
}

bool execute(SQLHDBC hdbc, const char* sql)
{
    SQLHSTMT statement = SQL_NULL_HSTMT;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, hdbc, &statement)))
        return false;
    QByteArray text(sql);
    const bool done =
        SQL_SUCCEEDED(SQLExecDirect(statement, reinterpret_cast<SQLCHAR*>(text.data()), SQL_NTS));
    SQLFreeHandle(SQL_HANDLE_STMT, statement);
    return done;
}

struct LoadedSample
{
    explicit LoadedSample(const QString& key) : fixture(testDataSource(key)) { fixture.loadObjects(); }
    CatalogTestFixture fixture;
};

} // namespace

class CatalogRetrievalTest final : public QObject
{
    Q_OBJECT

private slots:
    void objectsPerType_data() { addSourceRows(); }
    void objectsPerType();
    void columnTexts_data();
    void columnTexts();
    void indexesKeepColumnOrder_data() { addSourceRows(); }
    void indexesKeepColumnOrder();
    void primaryKeysAndReferences_data() { addSourceRows(); }
    void primaryKeysAndReferences();
    void statisticsOrNotAvailable_data() { addSourceRows(); }
    void statisticsOrNotAvailable();
    void sameNamedTablesInTwoSchemas();
    void mariadbListsItsOwnDatabase_data();
    void mariadbListsItsOwnDatabase();
    void patternCharactersMatchOnlyThemselves_data() { addSourceRows(); }
    void patternCharactersMatchOnlyThemselves();
    void searchObjectList_data();
    void searchObjectList();
    void namedSystemObject_data();
    void namedSystemObject();
};

void CatalogRetrievalTest::objectsPerType()
{
    QFETCH(QString, source);
    VELKARO_REQUIRE_DATA_SOURCE(testDataSource(source));
    LoadedSample sample(source);
    const CatalogTestFixture& f = sample.fixture;
    const QString qualifier = sampleQualifier(source);

    QCOMPARE(namesOfType(f, qualifier, "TABLE"), sampleTables(source));
    QCOMPARE(namesOfType(f, qualifier, "VIEW"), QStringList{"order_totals"});
    QCOMPARE(namesOfType(f, qualifier, "SEQUENCE"),
             source == QLatin1String("mariadb") ? QStringList{"invoice_seq"} : QStringList{});
    // Other types (MariaDB's SYSTEM VIEW) wait for their switch.
    for (const auto& record : f.model.Objects().Snapshot())
        QVERIFY2(ObjectListLoader::Keeps(f.host.settings, record->Type()), qPrintable(record->Type()));

    QStringList modelNames;
    for (const auto& record : f.model.Objects().Snapshot()) {
        modelNames.append(record->Name());
        const bool sequence = record->Type() == QLatin1String("SEQUENCE");
        if (record->Qualifier() == qualifier)
            QVERIFY2(record->Columns()->columns.empty() == sequence, qPrintable(record->Name()));
        if (record->Type() != QLatin1String("TABLE"))
            QVERIFY(record->Indexes()->indexes.empty());
    }
    QCOMPARE(f.host.objectNodeNames(), modelNames);
    QCOMPARE(f.host.repaints.load() > 0, true);
    QVERIFY(f.host.logLinesWith("ERROR").isEmpty());
    if (source == QLatin1String("mariadb")) {
        const auto longTable = f.object(longMariaName);
        QVERIFY(longTable);
        QCOMPARE(f.columnNames(*longTable), QStringList{QString::fromUtf8("名前")});
    }
}

void CatalogRetrievalTest::columnTexts_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("nullability");
    QTest::addColumn<QString>("size");
    QTest::addColumn<QString>("radix");
    QTest::addColumn<QString>("remarks");

    QTest::newRow("postgres integer with radix 10") << "postgres"
                                                    << "customers"
                                                    << "customer_id"
                                                    << "NOT NULL"
                                                    << "10"
                                                    << "10"
                                                    << "";
    // psqlODBC sends no column comments.
    QTest::newRow("postgres varchar: NULL radix is N/A") << "postgres"
                                                         << "customers"
                                                         << "email"
                                                         << "NULL"
                                                         << "200"
                                                         << "N/A"
                                                         << "";
    QTest::newRow("postgres lower-case date has no size") << "postgres"
                                                          << "customers"
                                                          << "created"
                                                          << "NULL"
                                                          << ""
                                                          << "N/A"
                                                          << "";
    QTest::newRow("postgres numeric with scale") << "postgres"
                                                 << "products"
                                                 << "price"
                                                 << "NULL"
                                                 << "10,2"
                                                 << "10"
                                                 << "";
    QTest::newRow("postgres timestamp with scale") << "postgres"
                                                   << "orders"
                                                   << "ordered_at"
                                                   << "NOT NULL"
                                                   << "26,6"
                                                   << "N/A"
                                                   << "";
    QTest::newRow("mariadb DATE has no size") << "mariadb"
                                              << "customers"
                                              << "created"
                                              << "NULL"
                                              << ""
                                              << "10"
                                              << "";
    QTest::newRow("mariadb DATETIME has no size") << "mariadb"
                                                  << "orders"
                                                  << "ordered_at"
                                                  << "NOT NULL"
                                                  << ""
                                                  << "10"
                                                  << "";
    QTest::newRow("mariadb decimal with scale") << "mariadb"
                                                << "products"
                                                << "price"
                                                << "NULL"
                                                << "10,2"
                                                << "10"
                                                << "";
    QTest::newRow("mariadb column comment") << "mariadb"
                                            << "customers"
                                            << "email"
                                            << "NULL"
                                            << "200"
                                            << "N/A"
                                            << "Contact address";
    QTest::newRow("sqlite not null column") << "sqlite"
                                            << "customers"
                                            << "customer_id"
                                            << "NOT NULL"
                                            << "9,10"
                                            << "N/A"
                                            << "";
}

void CatalogRetrievalTest::columnTexts()
{
    QFETCH(QString, source);
    QFETCH(QString, table);
    QFETCH(QString, column);
    VELKARO_REQUIRE_DATA_SOURCE(testDataSource(source));
    LoadedSample sample(source);
    const auto record = sample.fixture.object(table, source == QLatin1String("postgres") ? "public" : "");
    QVERIFY(record);
    const auto columns = record->Columns();
    const auto found = std::find_if(columns->columns.begin(), columns->columns.end(),
                                    [&](const ColumnRecord& c) { return c.name == column; });
    QVERIFY(found != columns->columns.end());
    QTEST(found->nullability, "nullability");
    QTEST(found->size, "size");
    QTEST(found->radix, "radix");
    QTEST(found->remarks, "remarks");
    int widest = 0;
    for (const ColumnRecord& c : columns->columns)
        widest = std::max<int>(widest, c.typeName.size() + c.size.size() + 3);
    QCOMPARE(columns->maxColumnTypeLen, widest);
}

void CatalogRetrievalTest::indexesKeepColumnOrder()
{
    QFETCH(QString, source);
    VELKARO_REQUIRE_DATA_SOURCE(testDataSource(source));
    LoadedSample sample(source);
    const CatalogTestFixture& f = sample.fixture;

    const auto orders = f.object("orders", source == QLatin1String("postgres") ? "public" : "");
    QVERIFY(orders);
    const auto indexes = orders->Indexes();
    const auto composite =
        std::find_if(indexes->indexes.begin(), indexes->indexes.end(),
                     [](const IndexRecord& i) { return i.name == "orders_customer_date_ix"; });
    QVERIFY(composite != indexes->indexes.end());
    QCOMPARE(composite->uniqueness, QStringLiteral("NOT UNIQUE "));
    QCOMPARE(composite->columnNames, (QStringList{"customer_id", "ordered_at"}));
    QCOMPARE(indexes->maxIndexNameLen, int(QStringLiteral("orders_customer_date_ix").size()));
    QStringList orderIndexes;
    for (const IndexRecord& index : indexes->indexes)
        orderIndexes.append(index.name);
    QCOMPARE(f.host.indexNodeNames("orders"), orderIndexes);

    const auto customers = f.object("customers", source == QLatin1String("postgres") ? "public" : "");
    QStringList names;
    for (const IndexRecord& index : customers->Indexes()->indexes) {
        names.append(index.name);
        QVERIFY(!index.name.isEmpty()); // the statistics row never becomes an index
        if (index.name == QLatin1String("customers_email_ux")) {
            QCOMPARE(index.uniqueness, QStringLiteral("UNIQUE "));
            QCOMPARE(index.columnNames, QStringList{"email"});
        }
    }
    QCOMPARE(names.size(), 3);
    QVERIFY(names.contains("customers_city_ix"));
}

void CatalogRetrievalTest::primaryKeysAndReferences()
{
    QFETCH(QString, source);
    VELKARO_REQUIRE_DATA_SOURCE(testDataSource(source));
    LoadedSample sample(source);
    CatalogTestFixture& f = sample.fixture;
    const KeyLoader keys(f.connection.catalog());

    const auto primary = keys.LoadPrimaryKeys(f.model.Locate("order_lines", f.connection.catalog().Uid()));
    QCOMPARE(int(primary.size()), 2);
    QCOMPARE(primary.at(0).columnName, QStringLiteral("order_id"));
    QCOMPARE(primary.at(0).keySeq, 1);
    QCOMPARE(primary.at(1).columnName, QStringLiteral("line_no"));
    QCOMPARE(primary.at(1).keySeq, 2);
    const QString keyName = source == QLatin1String("postgres")  ? "order_lines_pkey"
                            : source == QLatin1String("mariadb") ? "PRIMARY"
                                                                 : "";
    QCOMPARE(primary.at(0).keyName, keyName);

    const ObjectName orders = f.model.Locate("orders", f.connection.catalog().Uid());
    auto references = keys.LoadReferences(orders, true);
    QCOMPARE(int(references.size()), 1);
    QCOMPARE(references.at(0).otherTable, QStringLiteral("customers"));
    QCOMPARE(references.at(0).foreignColumn, QStringLiteral("customer_id"));
    QCOMPARE(references.at(0).primaryColumn, QStringLiteral("customer_id"));

    references = keys.LoadReferences(orders, false);
    QCOMPARE(int(references.size()), 1);
    QCOMPARE(references.at(0).otherTable, QStringLiteral("order_lines"));
    QCOMPARE(references.at(0).foreignColumn, QStringLiteral("order_id"));
    QCOMPARE(references.at(0).primaryColumn, QStringLiteral("order_id"));
    QVERIFY(f.host.logLinesWith("ERROR").isEmpty());
}

void CatalogRetrievalTest::statisticsOrNotAvailable()
{
    QFETCH(QString, source);
    VELKARO_REQUIRE_DATA_SOURCE(testDataSource(source));
    LoadedSample sample(source);
    CatalogTestFixture& f = sample.fixture;
    const StatisticsLoader statistics(f.connection.catalog());
    const ObjectName customers = f.model.Locate("customers", f.connection.catalog().Uid());

    // None of the three drivers sends a table statistics row.
    QVERIFY(!statistics.LoadTableStatistics(customers));

    const IndexStatistics index = statistics.LoadIndexStatistics(customers, "customers_city_ix");
    if (source == QLatin1String("mariadb"))
        QVERIFY2(index.cardinality > 0, qPrintable(QString::number(index.cardinality)));
    else
        QCOMPARE(index.cardinality, NOT_AVAILABLE);
    QCOMPARE(index.pages, NOT_AVAILABLE);
    QCOMPARE(index.filter, QString());

    QCOMPARE(statistics.LoadIndexStatistics(customers, "no_such_index").cardinality, NOT_AVAILABLE);
}

void CatalogRetrievalTest::sameNamedTablesInTwoSchemas()
{
    VELKARO_REQUIRE_DATA_SOURCE(testDataSource("postgres"));
    LoadedSample sample("postgres");
    CatalogTestFixture& f = sample.fixture;
    const auto shop = f.object("customers", "public");
    const auto archive = f.object("customers", "archive");
    QVERIFY(shop && archive);
    QCOMPARE(f.columnNames(*shop), (QStringList{"customer_id", "name", "email", "city", "created", "notes"}));
    QCOMPARE(f.columnNames(*archive), (QStringList{"archive_customer_id", "archived_at"}));
    QCOMPARE(int(archive->Indexes()->indexes.size()), 1);
    QCOMPARE(archive->Indexes()->indexes.front().columnNames, QStringList{"archive_customer_id"});
    QCOMPARE(int(shop->Indexes()->indexes.size()), 3);

    const auto archiveKey = KeyLoader(f.connection.catalog()).LoadPrimaryKeys(archive->GetObjectName());
    QCOMPARE(int(archiveKey.size()), 1);
    QCOMPARE(archiveKey.front().columnName, QStringLiteral("archive_customer_id"));
}

void CatalogRetrievalTest::mariadbListsItsOwnDatabase_data()
{
    QTest::addColumn<bool>("systemTables");
    QTest::newRow("system tables off: the shop alone") << false;
    QTest::newRow("system tables on: the server's own databases too") << true;
}

// The login reads a second database through the same connection: it belongs to another data source.
void CatalogRetrievalTest::mariadbListsItsOwnDatabase()
{
    QFETCH(bool, systemTables);
    VELKARO_REQUIRE_DATA_SOURCE(testDataSource("mariadb"));
    CatalogTestFixture f(testDataSource("mariadb"));
    for (const char* sql : {"DROP DATABASE IF EXISTS scratch_explorer", "CREATE DATABASE scratch_explorer",
                            "CREATE TABLE scratch_explorer.customers (elsewhere INTEGER)"})
        QVERIFY2(execute(f.connection.hdbc(), sql), sql);
    f.host.settings.osys = systemTables;
    f.loadObjects();
    QVERIFY(execute(f.connection.hdbc(), "DROP DATABASE scratch_explorer"));

    QSet<QString> databases;
    int customers = 0;
    for (const auto& record : f.model.Objects().Snapshot()) {
        databases.insert(record->Qualifier());
        customers += record->Name() == QLatin1String("customers") ? 1 : 0;
    }
    QVERIFY(databases.contains("shop"));
    QVERIFY(!databases.contains("scratch_explorer"));
    QCOMPARE(databases.contains("performance_schema"), systemTables);
    QCOMPARE(customers, 1);
    QCOMPARE(f.columnNames(*f.object("customers")).first(), QStringLiteral("customer_id"));
    QVERIFY(f.host.logLinesWith("ERROR").isEmpty());
}

void CatalogRetrievalTest::patternCharactersMatchOnlyThemselves()
{
    QFETCH(QString, source);
    VELKARO_REQUIRE_DATA_SOURCE(testDataSource(source));
    LoadedSample sample(source);
    const CatalogTestFixture& f = sample.fixture;
    const auto stockItem = f.object("stock_item");
    const auto lookAlike = f.object("stockXitem");
    QVERIFY(stockItem && lookAlike);
    QCOMPARE(f.columnNames(*stockItem), (QStringList{"item_id", "label"}));
    QCOMPARE(f.columnNames(*lookAlike), (QStringList{"other_id", "other_label"}));
    QCOMPARE(int(stockItem->Indexes()->indexes.size()), 1);
    QCOMPARE(stockItem->Indexes()->indexes.front().columnNames, QStringList{"item_id"});
}

void CatalogRetrievalTest::searchObjectList_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<bool>("systemObjects");
    QTest::addColumn<QString>("systemObject"); // container.name of one of the server's own objects
    QTest::newRow("postgres: every user schema, no system schema")
        << "postgres" << false << "pg_catalog.pg_class";
    QTest::newRow("postgres: system schemas when asked for") << "postgres" << true << "pg_catalog.pg_class";
    QTest::newRow("postgres: information_schema when asked for")
        << "postgres" << true << "information_schema.tables";
    QTest::newRow("mariadb: own database only") << "mariadb" << false << "information_schema.COLUMNS";
    QTest::newRow("mariadb: system databases when asked for")
        << "mariadb" << true << "information_schema.COLUMNS";
    QTest::newRow("sqlite: no owners") << "sqlite" << false << "";
}

void CatalogRetrievalTest::searchObjectList()
{
    QFETCH(QString, source);
    QFETCH(bool, systemObjects);
    QFETCH(QString, systemObject);
    VELKARO_REQUIRE_DATA_SOURCE(testDataSource(source));
    CatalogTestFixture f(testDataSource(source));
    RecordList<SearchObjectRecord> objects;
    const SearchObjectListLoader loader(f.connection.catalog(), objects);
    SearchObjectScope scope;
    scope.systemObjects = systemObjects;

    const SearchObjectListResult result = loader.Load(scope);
    QVERIFY(!result.stopped);
    QCOMPARE(result.count, objects.size());
    QStringList tables;
    QStringList containers;
    int longest = 0;
    for (const auto& record : objects.Snapshot()) {
        longest = std::max<int>(longest, record->name.size());
        if (record->qualifier == sampleQualifier(source) && record->type == QLatin1String("TABLE") &&
            !record->owner.startsWith(QLatin1String("pg_")) &&
            record->owner != QLatin1String("information_schema"))
            tables.append(record->name);
        if (!containers.contains(record->Container()))
            containers.append(record->Container());
    }
    tables.sort();
    QCOMPARE(tables, sampleTables(source));
    QCOMPARE(result.longestNameLength, longest);
    if (source == QLatin1String("postgres")) {
        int archived = 0;
        for (const auto& record : objects.Snapshot())
            archived += record->owner == QLatin1String("archive") ? 1 : 0;
        QCOMPARE(archived, 2); // customers and customer_moves
    }
    if (!systemObject.isEmpty()) {
        const QString container = systemObject.section(QLatin1Char('.'), 0, 0);
        const QString name = systemObject.section(QLatin1Char('.'), 1);
        const auto all = objects.Snapshot();
        const bool present = std::any_of(all.begin(), all.end(), [&](const auto& r) {
            return r->Container() == container && r->name == name;
        });
        QVERIFY2(present == systemObjects, qPrintable(containers.join(QLatin1Char(','))));
    }
    if (!systemObjects) { // the data source's own database and the user's schemas only
        containers.removeAll(QStringLiteral("public"));
        containers.removeAll(QStringLiteral("archive"));
        containers.removeAll(QStringLiteral("velkaro")); // the schema named after the login
        containers.removeAll(sampleQualifier(source));
        QCOMPARE(containers, QStringList());
    }

    int asked = 0;
    const SearchObjectListResult stopped = loader.Load(scope, [&] { return ++asked == 3; });
    QVERIFY(stopped.stopped);
    QCOMPARE(stopped.count, 2);
    QCOMPARE(objects.size(), 2);
}

// A system object the user named is kept without the option, and only that one.
void CatalogRetrievalTest::namedSystemObject_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("container");
    QTest::addColumn<QString>("name");
    QTest::newRow("postgres pg_catalog table") << "postgres"
                                               << "pg_catalog"
                                               << "pg_class";
    QTest::newRow("mariadb information_schema view") << "mariadb"
                                                     << "information_schema"
                                                     << "TABLES";
}

void CatalogRetrievalTest::namedSystemObject()
{
    QFETCH(QString, source);
    QFETCH(QString, container);
    QFETCH(QString, name);
    VELKARO_REQUIRE_DATA_SOURCE(testDataSource(source));
    CatalogTestFixture f(testDataSource(source));
    RecordList<SearchObjectRecord> objects;
    SearchObjectScope scope;
    scope.named = [&](const SearchObjectRecord& r) { return r.Container() == container && r.name == name; };

    SearchObjectListLoader(f.connection.catalog(), objects).Load(scope);
    QStringList system;
    for (const auto& record : objects.Snapshot()) {
        if (record->Container() == container)
            system.append(record->name);
    }
    QCOMPARE(system, QStringList{name});
    QVERIFY(objects.Find("customers"));
}

QTEST_GUILESS_MAIN(CatalogRetrievalTest)
#include "CatalogRetrievalTest.moc"

// The session's catalog operations: the model it owns, errors through its log, and the search
// program's object list.

#include "CatalogTestHost.h"
#include "RecordingPrompt.h"
#include "TestDataSources.h"
#include "catalog/CDbSession.h"
#include "catalog/LoadJob.h"

#include <QSet>
#include <QTest>
#include <atomic>
#include <thread>

using namespace velkaro;
using namespace velkaro::test;

namespace {

struct ConnectedSession
{
    ConnectedSession(const TestDataSource& source, SessionVariant variant) : session(variant)
    {
        connected = session.ConnectByString(source.connectString, prompt);
        session.SetLog(&host);
        job.host = &host;
        job.alias = source.dsn;
        job.databaseNode = host.databaseNode();
        job.inUse = std::make_shared<std::atomic<int>>(1);
    }
    RecordingPrompt prompt;
    CatalogTestHost host;
    CDbSession session;
    LoadJob job;
    bool connected = false;
};

} // namespace

class CatalogSessionTest final : public QObject
{
    Q_OBJECT

private slots:
    void operationsFillTheSessionModel_data();
    void operationsFillTheSessionModel();
    void driverErrorsGoToTheLog();
    void concurrentCallersGetTheirOwnRows_data();
    void concurrentCallersGetTheirOwnRows();
    void searchObjectsOfEverySchema();
};

void CatalogSessionTest::operationsFillTheSessionModel_data()
{
    QTest::addColumn<QString>("source");
    for (const TestDataSource& source : testDataSources())
        QTest::newRow(qPrintable(source.key)) << source.key;
}

void CatalogSessionTest::operationsFillTheSessionModel()
{
    QFETCH(QString, source);
    VELKARO_REQUIRE_DATA_SOURCE(testDataSource(source));
    ConnectedSession s(testDataSource(source), SessionVariant::Explorer);
    QVERIFY(s.connected);
    s.session.LoadObjects(s.job);
    QVERIFY(s.session.Model().Objects().Find("order_lines"));
    QVERIFY(!s.session.Objects().empty());

    // Named as the catalog listed them, whatever the login's upper-cased name is.
    QCOMPARE(int(s.session.LoadPrimaryKeys("order_lines").size()), 2);
    const auto references = s.session.LoadReferences("orders", false);
    QCOMPARE(int(references.size()), 1);
    QCOMPARE(references.front().otherTable, QStringLiteral("order_lines"));
    QVERIFY(!s.session.LoadTableStatistics("customers"));
    const IndexStatistics index = s.session.LoadIndexStatistics("customers", "customers_city_ix");
    QCOMPARE(index.pages, NOT_AVAILABLE);
    QCOMPARE(index.filter, QString());
    QVERIFY(s.host.logLinesWith("ERROR").isEmpty());

    // A second load replaces the list; a reader's old record stays usable.
    const auto held = s.session.Model().Objects().Find("customers");
    s.session.LoadObjects(s.job);
    QVERIFY(held->Columns()->columns.empty());
    QCOMPARE(held->Name(), QStringLiteral("customers"));
    QVERIFY(s.session.Model().Objects().Find("customers") != held);
}

void CatalogSessionTest::driverErrorsGoToTheLog()
{
    VELKARO_REQUIRE_DATA_SOURCE(testDataSource("mariadb"));
    ConnectedSession s(testDataSource("mariadb"), SessionVariant::Explorer);
    QVERIFY(s.connected);
    // MariaDB has no owners: a table not in the model is asked for under the login's name.
    const auto keys = s.session.LoadPrimaryKeys("not_loaded");
    const QStringList errors = s.host.logLinesWith("ERROR: ");
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors.front().contains("Schemas are not supported"), qPrintable(errors.front()));
    QVERIFY(keys.empty());
    QVERIFY(s.prompt.messages.empty());
}

void CatalogSessionTest::concurrentCallersGetTheirOwnRows_data()
{
    QTest::addColumn<QString>("source");
    QTest::newRow("sqlite") << "sqlite";
    QTest::newRow("postgres") << "postgres";
}

// Two threads asking one session for different tables at once (a property sheet and a report,
// say) each get the rows they asked for.
void CatalogSessionTest::concurrentCallersGetTheirOwnRows()
{
    QFETCH(QString, source);
    const TestDataSource& data = testDataSource(source);
    VELKARO_REQUIRE_DATA_SOURCE(data);
    ConnectedSession s(data, SessionVariant::Explorer);
    QVERIFY(s.connected);
    s.session.LoadObjects(s.job); // so that the tables are asked for under the owner that holds them
    std::atomic<int> wrong{0};
    const auto check = [&wrong](bool right) { wrong += right ? 0 : 1; };
    constexpr int kRounds = 25;
    std::thread keys([&] {
        for (int round = 0; round < kRounds; ++round) {
            const auto lines = s.session.LoadPrimaryKeys("order_lines");
            check(lines.size() == 2 && lines[0].columnName == QLatin1String("order_id") &&
                  lines[1].columnName == QLatin1String("line_no"));
            const auto products = s.session.LoadPrimaryKeys("products");
            check(products.size() == 1 && products[0].columnName == QLatin1String("product_id"));
        }
    });
    std::thread references([&] {
        for (int round = 0; round < kRounds; ++round) {
            const auto referencing = s.session.LoadReferences("orders", false);
            check(referencing.size() == 1 && referencing[0].otherTable == QLatin1String("order_lines"));
            const auto referenced = s.session.LoadReferences("orders", true);
            check(referenced.size() == 1 && referenced[0].otherTable == QLatin1String("customers"));
            check(!s.session.LoadTableStatistics("products"));
        }
    });
    keys.join();
    references.join();
    QCOMPARE(wrong.load(), 0);
    QVERIFY(s.host.logLinesWith("ERROR").isEmpty());
}

void CatalogSessionTest::searchObjectsOfEverySchema()
{
    VELKARO_REQUIRE_DATA_SOURCE(testDataSource("postgres"));
    ConnectedSession s(testDataSource("postgres"), SessionVariant::Search);
    QVERIFY(s.connected);
    QCOMPARE(s.session.UserName(), QStringLiteral("velkaro"));
    // Not only the schema named after the login, and not only the current one.
    const SearchObjectListResult result = s.session.LoadSearchObjects();
    QVERIFY(result.count > 0);
    QCOMPARE(result.count, s.session.SearchObjects().size());
    QSet<QString> owners;
    for (const auto& record : s.session.SearchObjects().Snapshot()) {
        owners.insert(record->owner);
        QCOMPARE(record->qualifier, QStringLiteral("shop"));
    }
    QCOMPARE(owners, (QSet<QString>{"public", "archive", "velkaro"}));
    QVERIFY(s.session.SearchObjects().Find("order_totals"));
    QCOMPARE(s.session.SearchObjects().Find("order_totals")->type, QStringLiteral("VIEW"));
}

QTEST_GUILESS_MAIN(CatalogSessionTest)
#include "CatalogSessionTest.moc"

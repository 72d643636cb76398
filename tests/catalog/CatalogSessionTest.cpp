// The session's catalog operations: the model it owns, errors through its log, and the search
// program's object list.

#include "CatalogTestHost.h"
#include "RecordingPrompt.h"
#include "TestDataSources.h"
#include "catalog/CDbSession.h"
#include "catalog/LoadJob.h"

#include <QSet>
#include <QTest>

using namespace velkaro;
using namespace velkaro::test;

namespace {

struct ConnectedSession
{
    ConnectedSession(const TestDataSource& source, SessionVariant variant) : session(variant)
    {
        connected = session.ConnectByString(source.connectString, prompt);
        session.setLog(&host);
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
    QVERIFY(s.session.model().objects().find("order_lines"));
    QVERIFY(!s.session.objects().empty());

    // Named as the catalog listed them, whatever the login's upper-cased name is.
    s.session.LoadPrimaryKeys("order_lines");
    QCOMPARE(int(s.session.primaryKeys()->size()), 2);
    s.session.LoadReferences("orders", false);
    QCOMPARE(int(s.session.references()->size()), 1);
    QCOMPARE(s.session.references()->front().otherTable, QStringLiteral("order_lines"));
    QVERIFY(!s.session.LoadTableStatistics("customers"));
    QCOMPARE(s.session.tablePages(), NOT_AVAILABLE);
    QCOMPARE(s.session.tableCardinality(), NOT_AVAILABLE);
    s.session.LoadIndexStatistics("customers", "customers_city_ix");
    QCOMPARE(s.session.indexPages(), NOT_AVAILABLE);
    QCOMPARE(s.session.indexFilter(), QString());
    QVERIFY(s.host.logLinesWith("ERROR").isEmpty());

    // A second load replaces the list; a reader's old record stays usable.
    const auto held = s.session.model().objects().find("customers");
    s.session.LoadObjects(s.job);
    QVERIFY(held->columns()->columns.empty());
    QCOMPARE(held->name(), QStringLiteral("customers"));
    QVERIFY(s.session.model().objects().find("customers") != held);
}

void CatalogSessionTest::driverErrorsGoToTheLog()
{
    VELKARO_REQUIRE_DATA_SOURCE(testDataSource("mariadb"));
    ConnectedSession s(testDataSource("mariadb"), SessionVariant::Explorer);
    QVERIFY(s.connected);
    // MariaDB has no owners: a table not in the model is asked for under the login's name.
    s.session.LoadPrimaryKeys("not_loaded");
    const QStringList errors = s.host.logLinesWith("ERROR: ");
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors.front().contains("Schemas are not supported"), qPrintable(errors.front()));
    QVERIFY(s.session.primaryKeys()->empty());
    QVERIFY(s.prompt.messages.empty());
}

void CatalogSessionTest::searchObjectsOfEverySchema()
{
    VELKARO_REQUIRE_DATA_SOURCE(testDataSource("postgres"));
    ConnectedSession s(testDataSource("postgres"), SessionVariant::Search);
    QVERIFY(s.connected);
    QCOMPARE(s.session.userName(), QStringLiteral("velkaro"));
    // Not only the schema named after the login, and not only the current one.
    const SearchObjectListResult result = s.session.LoadSearchObjects();
    QVERIFY(result.count > 0);
    QCOMPARE(result.count, s.session.searchObjects().size());
    QSet<QString> owners;
    for (const auto& record : s.session.searchObjects().snapshot()) {
        owners.insert(record->owner);
        QCOMPARE(record->qualifier, QStringLiteral("shop"));
    }
    QCOMPARE(owners, (QSet<QString>{"public", "archive", "velkaro"}));
    QVERIFY(s.session.searchObjects().find("order_totals"));
    QCOMPARE(s.session.searchObjects().find("order_totals")->type, QStringLiteral("VIEW"));
}

QTEST_GUILESS_MAIN(CatalogSessionTest)
#include "CatalogSessionTest.moc"

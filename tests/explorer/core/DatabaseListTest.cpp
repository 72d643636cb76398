#include "explorer/core/DatabaseList.h"

#include <QTest>

using namespace velkaro;

namespace {
DatabaseEntryPtr entry(const QString& alias, NodeId node = 0)
{
    auto created = std::make_shared<DatabaseEntry>();
    created->alias = alias;
    created->node = node;
    return created;
}
} // namespace

class DatabaseListTest : public QObject
{
    Q_OBJECT

private slots:
    void uniqueAlias_data()
    {
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("unique");
        QTest::newRow("free name kept") << QStringList{"Other"} << "Sales"
                                        << "Sales";
        QTest::newRow("taken name gets (2)") << QStringList{"Sales"} << "Sales"
                                             << "Sales(2)";
        QTest::newRow("(2) taken gives (3)") << QStringList{"Sales", "Sales(2)"} << "Sales"
                                             << "Sales(3)";
        QTest::newRow("first gap is used") << QStringList{"Sales", "Sales(3)"} << "Sales"
                                           << "Sales(2)";
        QTest::newRow("letter case differs: distinct") << QStringList{"sales"} << "Sales"
                                                       << "Sales";
        QTest::newRow("suffixed name taken") << QStringList{"Sales(2)"} << "Sales(2)"
                                             << "Sales(2)(2)";
        QTest::newRow("empty name taken") << QStringList{""} << ""
                                          << "(2)";
    }
    void uniqueAlias()
    {
        QFETCH(QStringList, existing);
        QFETCH(QString, name);
        QFETCH(QString, unique);
        DatabaseList list;
        for (const QString& alias : existing)
            list.Append(entry(alias));
        QCOMPARE(list.MakeUniqueAlias(name), unique);
        QVERIFY(!list.AliasExists(unique));
    }

    void lookupsAndBusyCount()
    {
        DatabaseList list;
        QVERIFY(list.empty());
        const DatabaseEntryPtr sales = entry(QStringLiteral("Sales"), 5);
        const DatabaseEntryPtr lower = entry(QStringLiteral("sales"), 7);
        const DatabaseEntryPtr billing = entry(QStringLiteral("Billing"), 9);
        list.Append(sales);
        list.Append(lower);
        list.Append(billing);

        QCOMPARE(list.FindEntryByAlias(QStringLiteral("sales")), lower);
        QCOMPARE(list.FindEntryByAlias(QStringLiteral("SALES")), DatabaseEntryPtr());
        QCOMPARE(list.FindEntryByNode(9), billing);
        QCOMPARE(list.FindEntryByNode(0), DatabaseEntryPtr());
        QCOMPARE(list.FindEntryByNode(6), DatabaseEntryPtr());

        QCOMPARE(list.CountBusyDatabases(), 0);
        sales->inUse->store(1);
        billing->inUse->store(1);
        QCOMPARE(list.CountBusyDatabases(), 2);

        list.Remove(lower);
        QCOMPARE(list.size(), 2);
        QCOMPARE(list.Entries().front(), sales); // order of adding kept
        QCOMPARE(list.Entries().back(), billing);

        // A worker keeps its entry and in-use flag after the list lets go of them.
        const std::shared_ptr<std::atomic<int>> flag = billing->inUse;
        const std::vector<DatabaseEntryPtr> taken = list.TakeAll();
        QVERIFY(list.empty());
        QCOMPARE(taken.size(), std::size_t(2));
        QCOMPARE(flag->load(), 1);
    }
};

QTEST_GUILESS_MAIN(DatabaseListTest)
#include "DatabaseListTest.moc"

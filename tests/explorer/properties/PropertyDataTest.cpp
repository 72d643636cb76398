// What the property sheets work out without widgets: which item a selection describes, how
// same-named objects are told apart, and the database counters.

#include "catalog/CDbSession.h"
#include "explorer/propertydata/DatabaseCounters.h"
#include "explorer/propertydata/ObjectLookup.h"
#include "explorer/propertydata/PropertyChoice.h"

#include <QTest>
#include <thread>

using namespace velkaro;

namespace {

std::shared_ptr<ObjectRecord> object(const char* name, const char* owner, const char* type, int columns = 0,
                                     QList<int> indexColumns = {})
{
    auto record = std::make_shared<ObjectRecord>(QString::fromUtf8(name), QString::fromUtf8(owner),
                                                 QString::fromUtf8(type), QString(), QString());
    ColumnList columnList;
    for (int column = 0; column < columns; ++column)
        columnList.columns.push_back({QStringLiteral("c%1").arg(column), {}, {}, {}, {}, {}});
    record->SetColumns(columnList);
    IndexList indexList;
    for (const int count : indexColumns) {
        IndexRecord index{
            QStringLiteral("ix%1").arg(indexList.indexes.size()), QStringLiteral("UNIQUE "), {}};
        for (int column = 0; column < count; ++column)
            index.columnNames.append(QStringLiteral("c%1").arg(column));
        indexList.indexes.push_back(index);
    }
    record->SetIndexes(indexList);
    return record;
}

// One database "Shop" with public.customers, public.orders and archive.customers, in that
// retrieval order, the nodes as the loader adds them.
struct Catalog
{
    Catalog()
    {
        root = tree.InsertRoot();
        entry->session = std::make_shared<CDbSession>();
        entry->alias = QStringLiteral("Shop");
        entry->node = tree.InsertDatabaseNode(entry->alias);
        databases.Append(entry);
        for (const auto& record :
             {object("customers", "public", "TABLE", 3, {1}), object("orders", "public", "TABLE"),
              object("customers", "archive", "TABLE", 2)}) {
            entry->session->Model().Objects().Append(record);
            objectNodes.push_back(
                tree.InsertObjectNode(entry->node, record->GetObjectName(), record->Type()));
        }
        index = tree.InsertIndexNode(objectNodes[2], QStringLiteral("customers_pkey"));
    }

    NodeTree tree;
    DatabaseList databases;
    DatabaseEntryPtr entry = std::make_shared<DatabaseEntry>();
    NodeId root = 0;
    std::vector<NodeId> objectNodes;
    NodeId index = 0;
};

} // namespace

class PropertyDataTest final : public QObject
{
    Q_OBJECT

private slots:
    void sameNamedNodesFindTheirOwnObject()
    {
        Catalog catalog;
        const ObjectSnapshot objects = catalog.entry->session->Objects();
        QCOMPARE(ObjectLookup::NameOfNode(catalog.tree, objects, catalog.objectNodes[0]).owner,
                 QStringLiteral("public"));
        QCOMPARE(ObjectLookup::NameOfNode(catalog.tree, objects, catalog.objectNodes[2]).owner,
                 QStringLiteral("archive"));
        QCOMPARE(ObjectLookup::NameOfNode(catalog.tree, objects, catalog.index).name, QString());
        QCOMPARE(ObjectLookup::Find(objects, QStringLiteral("archive"), QStringLiteral("customers")),
                 objects[2]);
        QVERIFY(!ObjectLookup::Find(objects, QStringLiteral("archive"), QStringLiteral("orders")));
    }

    void choice_data()
    {
        QTest::addColumn<bool>("fromTree");
        QTest::addColumn<int>("node");    // index into root, database, objects 0..2, index
        QTest::addColumn<int>("rowKind"); // list row kind
        QTest::addColumn<QString>("rowText");
        QTest::addColumn<QString>("rowOwner");
        QTest::addColumn<QString>("title"); // empty: no sheet
        QTest::addColumn<QString>("owner");
        QTest::addColumn<QString>("objectName");
        QTest::addColumn<QString>("itemName");
        QTest::addColumn<QString>("message");
        const QString none;
        QTest::newRow("tree root") << true << 0 << 0 << none << none << "Velkaro Properties" << none << none
                                   << none << none;
        QTest::newRow("tree database")
            << true << 1 << 0 << none << none << "Database Properties" << none << none << none << none;
        QTest::newRow("tree second table of a name") << true << 4 << 0 << none << none << "Object Properties"
                                                     << "archive"
                                                     << "customers" << none << none;
        QTest::newRow("tree index of the second table")
            << true << 5 << 0 << none << none << "Index Properties"
            << "archive"
            << "customers"
            << "customers_pkey" << none;
        QTest::newRow("list database row")
            << false << 0 << 1 << "Shop" << none << "Database Properties" << none << none << none << none;
        QTest::newRow("list row of an unknown database")
            << false << 0 << 1 << "Gone" << none << none << none << none << none << none;
        QTest::newRow("list object row by owner") << false << 1 << 2 << "archive.customers"
                                                  << "archive"
                                                  << "Object Properties"
                                                  << "archive"
                                                  << "customers" << none << none;
        QTest::newRow("list object row without node")
            << false << 1 << 2 << "invoices"
            << "public" << none << none << none << none
            << "Cannot find object in database, Please refresh this database.";
        QTest::newRow("list column row") << false << 4 << 4 << "c1" << none << "Column Properties"
                                         << "archive"
                                         << "customers"
                                         << "c1" << none;
        QTest::newRow("list index row") << false << 2 << 3 << "ix0" << none << "Index Properties"
                                        << "public"
                                        << "customers"
                                        << "ix0" << none;
        QTest::newRow("list index column row")
            << false << 5 << 5 << "c0" << none << none << none << none << none << none;
    }

    void choice()
    {
        QFETCH(bool, fromTree);
        QFETCH(int, node);
        QFETCH(int, rowKind);
        QFETCH(QString, rowText);
        QFETCH(QString, rowOwner);
        QFETCH(QString, title);
        Catalog catalog;
        const std::vector<NodeId> nodes{catalog.root,           catalog.entry->node,
                                        catalog.objectNodes[0], catalog.objectNodes[1],
                                        catalog.objectNodes[2], catalog.index};
        PropertyChoice choice(catalog.tree, catalog.databases);
        if (fromTree)
            choice.FromTreeNode(nodes[static_cast<std::size_t>(node)]);
        else
            choice.FromListRow({rowKind, rowText, rowOwner, nodes[static_cast<std::size_t>(node)]});
        QTEST(choice.Message(), "message");
        QCOMPARE(choice.Target().has_value(), !title.isEmpty());
        if (!choice.Target())
            return;
        const PropertyTarget& target = *choice.Target();
        QCOMPARE(target.SheetTitle(), title);
        QTEST(target.owner, "owner");
        QTEST(target.objectName, "objectName");
        QTEST(target.itemName, "itemName");
        if (target.kind != PropertyTarget::Kind::Root)
            QCOMPARE(target.entry, catalog.entry);
    }

    void countersCountByType()
    {
        const ObjectSnapshot objects{object("t", "", "TABLE", 3, {2, 1}),
                                     object("v", "", "VIEW", 2),
                                     object("s", "", "SYSTEM TABLE", 1, {1}),
                                     object("q", "", "SEQUENCE"),
                                     object("y", "", "SYNONYM"),
                                     object("m", "", "MATVIEW", 4)};
        DatabaseCounters counters;
        const auto run = counters.Begin();
        std::thread([&] { counters.Run(run, objects); }).join();
        QVERIFY(counters.Done());
        QCOMPARE(counters.Value(DatabaseCounters::Tables), 1);
        QCOMPARE(counters.Value(DatabaseCounters::Views), 1);
        QCOMPARE(counters.Value(DatabaseCounters::SystemTables), 1);
        QCOMPARE(counters.Value(DatabaseCounters::Sequences), 1);
        QCOMPARE(counters.Value(DatabaseCounters::Synonyms), 1);
        QCOMPARE(counters.Value(DatabaseCounters::Other), 1);
        QCOMPARE(counters.Value(DatabaseCounters::Columns), 10);
        QCOMPARE(counters.Value(DatabaseCounters::Indexes), 3);
        QCOMPARE(counters.Value(DatabaseCounters::IndexColumns), 4);

        // A count begun for an earlier page writes nothing into a later one's.
        const auto stale = counters.Begin();
        counters.Begin();
        counters.Run(stale, objects);
        QCOMPARE(counters.Value(DatabaseCounters::Tables), 0);
        QVERIFY(!counters.Done());
    }
};

QTEST_GUILESS_MAIN(PropertyDataTest)
#include "PropertyDataTest.moc"

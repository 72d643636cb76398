#include "explorer/core/NodeTree.h"

#include "explorer/core/NodeImages.h"

#include <QTest>
#include <atomic>
#include <map>
#include <thread>

using namespace velkaro;

namespace {
QStringList texts(const NodeTree& tree, const std::vector<NodeId>& nodes)
{
    QStringList result;
    for (NodeId node : nodes)
        result.append(tree.NodeText(node));
    return result;
}

// A replica built only from the change queue, as the tree widget builds its items.
struct Replica
{
    std::map<NodeId, std::vector<NodeId>> children;
    std::map<NodeId, QString> text;
    std::map<NodeId, QString> toolTip;

    void apply(const NodeChange& change)
    {
        switch (change.kind) {
        case NodeChange::Kind::Inserted: {
            auto& siblings = children[change.parent];
            QVERIFY2(change.position >= 0 && change.position <= int(siblings.size()),
                     "position out of range");
            siblings.insert(siblings.begin() + change.position, change.node);
            text[change.node] = change.text;
            toolTip[change.node] = change.toolTip;
            break;
        }
        case NodeChange::Kind::ChildrenDeleted:
            for (NodeId child : std::exchange(children[change.node], {}))
                drop(child);
            break;
        case NodeChange::Kind::Removed:
            std::erase(children[change.parent], change.node);
            drop(change.node);
            break;
        case NodeChange::Kind::TextChanged:
            QVERIFY2(text.count(change.node) == 1, "renamed node not shown");
            text[change.node] = change.text;
            break;
        }
    }
    void drop(NodeId node)
    {
        for (NodeId child : children[node])
            drop(child);
        children.erase(node);
        text.erase(node);
    }
    // The replica's tree below node as nested text, to compare with the real one.
    QString describe(NodeId node) const
    {
        QString result = text.at(node);
        const auto found = children.find(node);
        if (found != children.end() && !found->second.empty()) {
            QStringList parts;
            for (NodeId child : found->second)
                parts.append(describe(child));
            result += QLatin1Char('(') + parts.join(QLatin1Char(',')) + QLatin1Char(')');
        }
        return result;
    }
};

QString describe(const NodeTree& tree, NodeId node)
{
    QString result = tree.NodeText(node);
    const std::vector<NodeId> children = tree.Children(node);
    if (!children.empty()) {
        QStringList parts;
        for (NodeId child : children)
            parts.append(describe(tree, child));
        result += QLatin1Char('(') + parts.join(QLatin1Char(',')) + QLatin1Char(')');
    }
    return result;
}

void replay(NodeTree& tree, Replica& replica)
{
    while (tree.HasPendingChanges()) {
        for (const NodeChange& change : tree.TakeChanges(256))
            replica.apply(change);
    }
}
} // namespace

class NodeTreeTest : public QObject
{
    Q_OBJECT

private slots:
    void levelsTextsAndImages()
    {
        NodeTree tree;
        const NodeId root = tree.InsertRoot();
        QCOMPARE(tree.InsertRoot(), root);
        const NodeId database = tree.InsertDatabaseNode(QStringLiteral("Sales"));
        const NodeId table =
            tree.InsertObjectNode(database, QStringLiteral("ORDERS"), QStringLiteral("TABLE"));
        const NodeId index = tree.InsertIndexNode(table, QStringLiteral("PK_ORDERS"));

        QCOMPARE(tree.NodeText(root), QStringLiteral("Velkaro"));
        QCOMPARE(tree.NodeLevel(root), 0);
        QCOMPARE(tree.NodeLevel(database), 1);
        QCOMPARE(tree.NodeLevel(table), 2);
        QCOMPARE(tree.NodeLevel(index), 3);
        QCOMPARE(tree.NodeLevel(0), -1);
        QCOMPARE(tree.Parent(root), NodeId(0));
        QCOMPARE(tree.Parent(index), table);
        QCOMPARE(tree.AncestorAtLevel(index, 1), database);
        QCOMPARE(tree.AncestorAtLevel(index, 3), index);
        QCOMPARE(tree.AncestorAtLevel(database, 2), NodeId(0));
        QCOMPARE(toNodeId(toCatalogNode(index)), index);

        const auto changes = tree.TakeChanges(10);
        QCOMPARE(changes.size(), std::size_t(4));
        const QList<QPair<int, int>> images{{0, 0}, {1, 6}, {2, 7}, {4, 8}};
        for (std::size_t i = 0; i < changes.size(); ++i) {
            QCOMPARE(changes[i].kind, NodeChange::Kind::Inserted);
            QCOMPARE(qMakePair(changes[i].image, changes[i].selectedImage), images[int(i)]);
        }
        QVERIFY(!tree.HasPendingChanges());
    }

    void objectImages_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<int>("image");
        QTest::addColumn<int>("selectedImage");
        QTest::newRow("table") << "TABLE" << 2 << 7;
        QTest::newRow("view") << "VIEW" << 9 << 10;
        QTest::newRow("sequence") << "SEQUENCE" << 13 << 14;
        QTest::newRow("synonym") << "SYNONYM" << 15 << 16;
        QTest::newRow("system table is other") << "SYSTEM TABLE" << 11 << 12;
        QTest::newRow("lower-case table is other") << "table" << 11 << 12;
        QTest::newRow("empty type is other") << "" << 11 << 12;
    }
    void objectImages()
    {
        QFETCH(QString, type);
        QFETCH(int, image);
        QFETCH(int, selectedImage);
        QCOMPARE(ObjectNodeImages(type).image, image);
        QCOMPARE(ObjectNodeImages(type).selectedImage, selectedImage);
        QCOMPARE(ObjectListImage(type), image);
    }

    void databasesSortedObjectsInRetrievalOrder()
    {
        NodeTree tree;
        const NodeId root = tree.InsertRoot();
        for (const char* alias : {"sales", "Billing", "Sales(2)", "archive", "Sales", "zeta"})
            tree.InsertDatabaseNode(QString::fromLatin1(alias));
        QCOMPARE(texts(tree, tree.Children(root)),
                 QStringList({"archive", "Billing", "Sales", "sales", "Sales(2)", "zeta"}));

        const NodeId database = tree.FindChildByText(root, QStringLiteral("Billing"));
        for (const char* name : {"ZZ", "AA", "MM"})
            tree.InsertObjectNode(database, QString::fromLatin1(name), QStringLiteral("TABLE"));
        QCOMPARE(texts(tree, tree.Children(database)), QStringList({"ZZ", "AA", "MM"}));
        QCOMPARE(tree.FindChildByText(root, QStringLiteral("billing")), NodeId(0));

        Replica replica;
        replay(tree, replica);
        QCOMPARE(replica.describe(root), describe(tree, root));
    }

    void removedNodesRefuseInsertionsAndLeaveTheReplicaInStep()
    {
        NodeTree tree;
        const NodeId root = tree.InsertRoot();
        const NodeId sales = tree.InsertDatabaseNode(QStringLiteral("Sales"));
        const NodeId orders = tree.InsertObjectNode(sales, QStringLiteral("ORDERS"), QStringLiteral("TABLE"));
        const NodeId index = tree.InsertIndexNode(orders, QStringLiteral("PK"));
        const NodeId other = tree.InsertDatabaseNode(QStringLiteral("Other"));
        tree.InsertObjectNode(other, QStringLiteral("T"), QStringLiteral("VIEW"));
        Replica replica;
        replay(tree, replica);

        const std::vector<NodeId> subtree = tree.Subtree(sales);
        QCOMPARE(texts(tree, subtree), QStringList({"Sales", "ORDERS", "PK"}));

        tree.DeleteChildNodes(sales); // a refresh empties the database
        QVERIFY(!tree.Exists(orders));
        QVERIFY(!tree.Exists(index));
        QVERIFY(tree.Exists(sales));
        // A worker still holding the old object node must not attach anything to it.
        QCOMPARE(tree.InsertIndexNode(orders, QStringLiteral("LATE")), NodeId(0));
        QCOMPARE(tree.InsertObjectNode(0, QStringLiteral("X"), QStringLiteral("TABLE")), NodeId(0));
        tree.InsertObjectNode(sales, QStringLiteral("ORDERS"), QStringLiteral("TABLE"));

        tree.RemoveNode(other);
        QCOMPARE(tree.InsertObjectNode(other, QStringLiteral("LATE"), QStringLiteral("TABLE")), NodeId(0));
        tree.DeleteChildNodes(other); // gone already: nothing queued
        replay(tree, replica);
        QCOMPARE(replica.describe(root), QStringLiteral("Velkaro(Sales(ORDERS))"));
        QCOMPARE(describe(tree, root), replica.describe(root));
        QCOMPARE(tree.NodeCount(), std::size_t(3));

        // Ids are never handed out again, so a stale id cannot name a new node.
        const NodeId again = tree.InsertDatabaseNode(QStringLiteral("Other"));
        QVERIFY(again > other);
    }

    void sameNamedObjectsAreWrittenWithTheirOwner()
    {
        NodeTree tree;
        const NodeId root = tree.InsertRoot();
        const NodeId shop = tree.InsertDatabaseNode(QStringLiteral("Shop"));
        const ObjectName current{QStringLiteral("shop"), QStringLiteral("public"),
                                 QStringLiteral("customers")};
        const ObjectName archived{QStringLiteral("shop"), QStringLiteral("archive"),
                                  QStringLiteral("customers")};
        // Where the DBMS has no owners, the database (the qualifier) holds the object.
        const ObjectName server{QStringLiteral("performance_schema"), QString(), QStringLiteral("customers")};
        const NodeId first = tree.InsertObjectNode(shop, current, QStringLiteral("TABLE"));
        tree.InsertObjectNode(
            shop, ObjectName{QStringLiteral("shop"), QStringLiteral("public"), QStringLiteral("orders")},
            QStringLiteral("TABLE"));
        // The first one is shown under its bare name before its namesake arrives.
        Replica replica;
        replay(tree, replica);
        QCOMPARE(replica.text.at(first), QStringLiteral("customers"));

        const NodeId second = tree.InsertObjectNode(shop, archived, QStringLiteral("TABLE"));
        const NodeId third = tree.InsertObjectNode(shop, server, QStringLiteral("SYSTEM TABLE"));
        QCOMPARE(
            texts(tree, tree.Children(shop)),
            QStringList({"public.customers", "orders", "archive.customers", "performance_schema.customers"}));
        replay(tree, replica);
        QCOMPARE(replica.describe(root), describe(tree, root));
        QCOMPARE(replica.toolTip.at(second), QStringLiteral("archive.customers"));
        QCOMPARE(replica.toolTip.at(first), QStringLiteral("public.customers"));

        QCOMPARE(tree.FindObjectNode(shop, archived), second);
        QCOMPARE(tree.FindObjectNode(shop, current), first);
        QCOMPARE(tree.FindObjectNode(shop, server), third);
        // Owner and name are enough where there are owners.
        QCOMPARE(tree.FindObjectNode(
                     shop, ObjectName{QString(), QStringLiteral("archive"), QStringLiteral("customers")}),
                 second);
        QCOMPARE(tree.FindObjectNode(shop, ObjectName{QStringLiteral("shop"), QStringLiteral("nobody"),
                                                      QStringLiteral("customers")}),
                 NodeId(0));
        QVERIFY(tree.NodeObject(second) == archived);
        QVERIFY(tree.NodeObject(shop) == ObjectName());

        // A refresh starts over: the first object of a name is shown bare again.
        tree.DeleteChildNodes(shop);
        const NodeId again = tree.InsertObjectNode(shop, archived, QStringLiteral("TABLE"));
        QCOMPARE(tree.NodeText(again), QStringLiteral("customers"));
        QCOMPARE(tree.FindObjectNode(shop, archived), again);
        replay(tree, replica);
        QCOMPARE(replica.describe(root), describe(tree, root));
    }

    void callbackOnlyWhenTheQueueBecomesNonEmpty()
    {
        NodeTree tree;
        int calls = 0;
        tree.SetChangesPendingCallback([&] {
            ++calls;
            QVERIFY(tree.HasPendingChanges()); // called outside the lock: the tree is usable
        });
        const NodeId root = tree.InsertRoot();
        tree.InsertDatabaseNode(QStringLiteral("A"));
        QCOMPARE(calls, 1);
        QCOMPARE(tree.TakeChanges(1).size(), std::size_t(1));
        tree.InsertDatabaseNode(QStringLiteral("B")); // one change still waiting
        QCOMPARE(calls, 1);
        QCOMPARE(tree.TakeChanges(10).size(), std::size_t(2));
        tree.DeleteChildNodes(root);
        QCOMPARE(calls, 2);
    }

    // Four workers insert objects and indexes while the interface thread replays changes and reads
    // the tree, deletes one database's children and removes another. Run under ThreadSanitizer.
    void workersInsertWhileTheInterfaceThreadReads()
    {
        NodeTree tree;
        std::atomic<int> pendingCalls{0};
        tree.SetChangesPendingCallback([&] { pendingCalls.fetch_add(1); });
        const NodeId root = tree.InsertRoot();
        std::vector<NodeId> databases;
        for (int i = 0; i < 4; ++i)
            databases.push_back(tree.InsertDatabaseNode(QStringLiteral("DB%1").arg(i)));

        constexpr int kObjects = 1000;
        std::atomic<int> finished{0};
        std::vector<std::thread> workers;
        for (int w = 0; w < 4; ++w) {
            workers.emplace_back([&, w] {
                for (int i = 0; i < kObjects; ++i) {
                    const NodeId object = tree.InsertObjectNode(databases[w], QStringLiteral("T%1").arg(i),
                                                                QStringLiteral("TABLE"));
                    tree.InsertIndexNode(object, QStringLiteral("I%1").arg(i));
                }
                finished.fetch_add(1);
            });
        }

        Replica replica;
        const auto refreshAndRemove = [&] {
            tree.DeleteChildNodes(databases[2]);
            tree.RemoveNode(databases[3]);
        };
        int rounds = 0;
        bool consistent = true; // checked after the join: failing early would leave threads running
        while (finished.load() < 4) {
            for (const NodeChange& change : tree.TakeChanges(64))
                replica.apply(change);
            for (NodeId database : tree.Children(root)) {
                for (NodeId object : tree.Children(database))
                    consistent = consistent && (tree.NodeLevel(object) == 2 || !tree.Exists(object));
                consistent = consistent && tree.Parent(database) == root;
            }
            if (++rounds == 5)
                refreshAndRemove();
            std::this_thread::yield();
        }
        for (std::thread& worker : workers)
            worker.join();
        if (rounds < 5)
            refreshAndRemove();
        replay(tree, replica);

        QVERIFY(consistent);
        QCOMPARE(replica.describe(root), describe(tree, root));
        QCOMPARE(tree.Children(databases[0]).size(), std::size_t(kObjects));
        QCOMPARE(tree.Children(databases[1]).size(), std::size_t(kObjects));
        QVERIFY(!tree.Exists(databases[3]));
        QVERIFY(pendingCalls.load() >= 1);
    }
};

QTEST_GUILESS_MAIN(NodeTreeTest)
#include "NodeTreeTest.moc"

#include "explorer/core/LocationList.h"
#include "explorer/core/NavigationHistory.h"

#include <QTest>

using namespace velkaro;

namespace {
// A small tree: Sales with ORDERS (index PK_ORDERS) and USERS, and Billing with INVOICES.
struct Fixture
{
    NodeTree tree;
    NodeId root = tree.InsertRoot();
    NodeId sales = tree.InsertDatabaseNode(QStringLiteral("Sales"));
    NodeId orders = tree.InsertObjectNode(sales, QStringLiteral("ORDERS"), QStringLiteral("TABLE"));
    NodeId pk = tree.InsertIndexNode(orders, QStringLiteral("PK_ORDERS"));
    NodeId users = tree.InsertObjectNode(sales, QStringLiteral("USERS"), QStringLiteral("TABLE"));
    NodeId billing = tree.InsertDatabaseNode(QStringLiteral("Billing"));
    NodeId invoices = tree.InsertObjectNode(billing, QStringLiteral("INVOICES"), QStringLiteral("TABLE"));
    NavigationHistory history;

    // What the tree pane does: select, and the selection change records the visit.
    void visit(NodeId node) { history.RecordVisit(node); }
    NodeId back()
    {
        const NodeId node = history.TakeBack(tree);
        if (node != 0)
            visit(node);
        return node;
    }
    NodeId forward()
    {
        const NodeId node = history.TakeForward(tree);
        if (node != 0)
            visit(node);
        return node;
    }
};

std::deque<NodeId> list(std::initializer_list<NodeId> nodes)
{
    return std::deque<NodeId>(nodes);
}
} // namespace

class NavigationTest : public QObject
{
    Q_OBJECT

private slots:
    void backTwiceThenForwardTwice()
    {
        Fixture f;
        QVERIFY(!f.history.CanGoBack());
        f.visit(f.root);
        f.visit(f.sales);
        f.visit(f.sales); // the same node twice in a row is recorded once
        f.visit(f.orders);
        QCOMPARE(f.history.BackList(), list({f.orders, f.sales, f.root}));

        QCOMPARE(f.back(), f.sales);
        QCOMPARE(f.back(), f.root);
        QVERIFY(!f.history.CanGoBack());
        QCOMPARE(f.back(), NodeId(0)); // nothing happens with one node left
        QCOMPARE(f.history.BackList(), list({f.root}));
        QCOMPARE(f.history.ForwardList(), list({f.sales, f.orders}));

        QCOMPARE(f.forward(), f.sales);
        QCOMPARE(f.forward(), f.orders);
        QVERIFY(!f.history.CanGoForward());
        QCOMPARE(f.forward(), NodeId(0));
        QCOMPARE(f.history.BackList(), list({f.orders, f.sales, f.root}));
    }

    void visitingAnotherNodeKeepsTheForwardList()
    {
        Fixture f;
        f.visit(f.root);
        f.visit(f.sales);
        f.visit(f.orders);
        QCOMPARE(f.back(), f.sales);
        f.visit(f.users);
        QCOMPARE(f.history.ForwardList(), list({f.orders}));
        QCOMPARE(f.forward(), f.orders);
        QCOMPARE(f.back(), f.users);
    }

    void entriesOfDeletedNodesAreSkippedAndDiscarded()
    {
        Fixture f;
        f.visit(f.root);
        f.visit(f.sales);
        f.visit(f.orders);
        f.visit(f.pk);
        f.visit(f.billing);
        f.tree.DeleteChildNodes(f.sales); // a refresh: ORDERS and PK_ORDERS are gone
        QVERIFY(f.history.CanGoBack(f.tree));

        QCOMPARE(f.back(), f.sales);
        QCOMPARE(f.history.BackList(), list({f.sales, f.root}));
        QCOMPARE(f.history.ForwardList(), list({f.billing}));

        // Going back from a deleted node to a deleted one: nothing to select, nothing lost.
        Fixture g;
        g.visit(g.orders);
        g.visit(g.billing);
        g.tree.RemoveNode(g.sales);
        QVERIFY(g.history.CanGoBack());
        QVERIFY(!g.history.CanGoBack(g.tree));
        QCOMPARE(g.back(), NodeId(0));
        QCOMPARE(g.history.BackList(), list({g.billing}));
        QVERIFY(g.history.ForwardList().empty());

        // Forward past nodes a refresh deleted.
        Fixture h;
        h.visit(h.root);
        h.visit(h.users);
        h.visit(h.orders);
        h.visit(h.invoices);
        QCOMPARE(h.back(), h.orders);
        QCOMPARE(h.back(), h.users);
        QCOMPARE(h.back(), h.root);
        h.tree.DeleteChildNodes(h.sales);
        QVERIFY(h.history.CanGoForward(h.tree));
        QCOMPARE(h.forward(), h.invoices);
        QVERIFY(h.history.ForwardList().empty());
    }

    void failedSelectionRestoresTheShownNode()
    {
        Fixture f;
        f.visit(f.root);
        f.visit(f.sales);
        f.visit(f.orders);
        QCOMPARE(f.history.TakeBack(f.tree), f.sales);
        f.history.BackFailed();
        QCOMPARE(f.history.BackList(), list({f.orders, f.root}));
        QVERIFY(f.history.ForwardList().empty());
        QCOMPARE(f.back(), f.root); // the next Back still leaves the node that is shown
        QCOMPARE(f.history.ForwardList(), list({f.orders}));
    }

    void purgeRemovesEveryOccurrenceFromBothLists()
    {
        Fixture f;
        f.visit(f.root);
        f.visit(f.sales);
        f.visit(f.orders);
        f.visit(f.billing);
        f.visit(f.orders);
        f.visit(f.invoices);
        f.back();
        f.back(); // back: billing orders sales root, forward: orders invoices
        QCOMPARE(f.history.BackList(), list({f.billing, f.orders, f.sales, f.root}));
        QCOMPARE(f.history.ForwardList(), list({f.orders, f.invoices}));

        QStringList lines;
        f.history.PurgeFromHistory(f.tree.Subtree(f.sales), f.tree,
                                   [&](const QString& line) { lines << line; });
        QCOMPARE(lines, QStringList({"Sales: Removing information.", "Sales: Removing from back list.",
                                     "ORDERS: Removing information.", "ORDERS: Removing from back list.",
                                     "PK_ORDERS: Removing information.", "USERS: Removing information.",
                                     "ORDERS: Removing from forward list."}));
        QCOMPARE(f.history.BackList(), list({f.billing, f.root}));
        QCOMPARE(f.history.ForwardList(), list({f.invoices}));

        Fixture g;
        g.visit(g.root);
        g.visit(g.sales);
        g.history.PurgeFromHistory(g.tree.Subtree(g.sales), g.tree, [](const QString&) {});
        QVERIFY(!g.history.CanGoBack()); // only the root is left
        g.visit(g.root);                 // the removal selects the root, which is already at the head
        QCOMPARE(g.history.BackList(), list({g.root}));
        QVERIFY(!g.history.CanGoBack());
    }

    void locationPaths()
    {
        Fixture f;
        QCOMPARE(LocationList::BuildLocationPath(f.tree, f.root), QStringLiteral("Velkaro"));
        QCOMPARE(LocationList::BuildLocationPath(f.tree, f.sales), QStringLiteral("Sales"));
        QCOMPARE(LocationList::BuildLocationPath(f.tree, f.orders), QStringLiteral("Sales::ORDERS"));
        QCOMPARE(LocationList::BuildLocationPath(f.tree, f.pk), QStringLiteral("Sales::ORDERS::PK_ORDERS"));
        f.tree.RemoveNode(f.sales);
        QCOMPARE(LocationList::BuildLocationPath(f.tree, f.pk), QStringLiteral("COULD NOT BE DETERMINED"));
        QCOMPARE(LocationList::BuildLocationPath(f.tree, 0), QStringLiteral("COULD NOT BE DETERMINED"));
    }

    void splitLocationPath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("root");
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("object");
        QTest::addColumn<QString>("index");
        QTest::newRow("root") << "Velkaro" << true << ""
                              << ""
                              << "";
        QTest::newRow("root in another case is a database") << "velkaro" << false << "velkaro"
                                                            << ""
                                                            << "";
        QTest::newRow("database") << "Sales" << false << "Sales"
                                  << ""
                                  << "";
        QTest::newRow("database with trailing separator") << "Sales::" << false << "Sales"
                                                          << ""
                                                          << "";
        QTest::newRow("object") << "Sales::ORDERS" << false << "Sales"
                                << "ORDERS"
                                << "";
        QTest::newRow("index") << "Sales::ORDERS::PK" << false << "Sales"
                               << "ORDERS"
                               << "PK";
        QTest::newRow("components past the index ignored") << "Sales::ORDERS::PK::more" << false << "Sales"
                                                           << "ORDERS"
                                                           << "PK";
        QTest::newRow("separator at the start is part of the name") << "::Sales" << false << "::Sales"
                                                                    << ""
                                                                    << "";
        QTest::newRow("empty object name keeps the rest") << "Sales::::X" << false << "Sales"
                                                          << "::X"
                                                          << "";
        QTest::newRow("names with spaces and hyphens")
            << "sales-2025::Order Archive::PK x" << false << "sales-2025"
            << "Order Archive"
            << "PK x";
        QTest::newRow("empty path") << "" << false << ""
                                    << ""
                                    << "";
    }
    void splitLocationPath()
    {
        QFETCH(QString, path);
        const LocationList::Target target = LocationList::SplitLocationPath(path);
        QTEST(target.root, "root");
        QTEST(target.database, "database");
        QTEST(target.object, "object");
        QTEST(target.index, "index");
    }

    void locationListMostRecentFirstIgnoringCase()
    {
        LocationList locations;
        locations.Record(QStringLiteral("Velkaro"));
        locations.Record(QStringLiteral("Sales::ORDERS"));
        locations.Record(QStringLiteral("Billing"));
        locations.Record(QStringLiteral("sales::orders"));
        QCOMPARE(locations.Paths(), QStringList({"sales::orders", "Billing", "Velkaro"}));
        locations.Record(QStringLiteral("Velkaro"));
        QCOMPARE(locations.Paths(), QStringList({"Velkaro", "sales::orders", "Billing"}));
    }
};

QTEST_GUILESS_MAIN(NavigationTest)
#include "NavigationTest.moc"

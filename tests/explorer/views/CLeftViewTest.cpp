#include "explorer/views/CLeftView.h"

#include "catalog/CDbSession.h"
#include "common/ProfileStore.h"
#include "explorer/views/CAddDatabaseDlg.h"
#include "explorer/views/CRemoveDatabaseDlg.h"
#include "explorer/views/CVelkaroView.h"
#include "tests/support/RecordingPrompt.h"
#include "tests/support/TestDataSources.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <thread>

using namespace velkaro;
using namespace velkaro::test;

namespace {

// The two panes and the location bar, as the main window puts them together.
struct Panes
{
    Panes()
    {
        store.WriteString(QStringLiteral("Log"), QStringLiteral("File"),
                          logDir.filePath(QStringLiteral("velkaro")));
        tree = std::make_unique<CLeftView>(store, prompt);
        list = std::make_unique<CVelkaroView>(store);
        location.setEditable(true);
        tree->SetListView(list.get());
        tree->SetLocationBar(&location);
        tree->show();
        list->show();
        list->SetColumnSet(0);
        tree->Hub().InsertRoot();
    }
    ~Panes() { tree.reset(); }

    bool idle() const
    {
        ExplorerHub& hub = tree->Hub();
        return !hub.CanStop() && hub.Jobs().QueuedCount() == 0 && hub.Workers().Threads().LiveCount() == 0;
    }
    QTreeWidgetItem* item(NodeId node)
    {
        tree->ReplayTreeChanges();
        return tree->ItemForNode(node);
    }
    QStringList listTexts() const
    {
        QStringList texts;
        for (int row = 0; row < list->topLevelItemCount(); ++row)
            texts.append(list->topLevelItem(row)->text(0));
        return texts;
    }

    QTemporaryDir logDir;
    ProfileStore store{QStringLiteral("Velkaro")};
    RecordingPrompt prompt;
    QComboBox location;
    std::unique_ptr<CVelkaroView> list;
    std::unique_ptr<CLeftView> tree;
};

std::shared_ptr<CDbSession> connectTo(const TestDataSource& source, UserPrompt& prompt)
{
    auto session = std::make_shared<CDbSession>();
    session->ConnectByString(source.connectString, prompt);
    return session->ConnectFailed() ? nullptr : session;
}

// Picks the entry text from the combo box's open list with the mouse, as the user does.
void pickFromList(QComboBox& combo, const QString& text)
{
    const int index = combo.findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    combo.showPopup();
    QAbstractItemView* list = combo.view();
    QTRY_VERIFY(list->isVisible());
    const QRect entry = list->visualRect(combo.model()->index(index, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, entry.center());
    QTRY_VERIFY(!list->isVisible());
}

// Runs step on the modal dialog of type Dialog as soon as it is shown.
template <class Dialog> void whenShown(const std::function<void(Dialog&)>& step)
{
    QTimer::singleShot(0, qApp, [step] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        step(*dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
}

} // namespace

class CLeftViewTest final : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        ProfileStore store(QStringLiteral("Velkaro"));
        QFile::remove(store.FileName());
    }

    void addDatabaseOffersAUniqueAlias()
    {
        const TestDataSource& sqlite = testDataSource(QStringLiteral("sqlite"));
        VELKARO_REQUIRE_DATA_SOURCE(sqlite);
        Panes panes;
        ExplorerHub& hub = panes.tree->Hub();
        auto first = connectTo(sqlite, panes.prompt);
        QVERIFY(first);
        const QString name = first->DisplayName();
        QVERIFY(hub.AddDatabase(first, QString(), true, true, false));
        QCOMPARE(hub.Databases().Entries().front()->alias, name);

        bool sawSuggestion = false;
        bool stayedOpenOnNo = false;
        whenShown<CAddDatabaseDlg>([&](CAddDatabaseDlg& dialog) {
            QCOMPARE(dialog.SelectButton()->text(), QStringLiteral("Press to select Database"));
            QVERIFY(dialog.ReconnectBox()->isChecked());
            panes.prompt.dataSourceAnswers.push_back(sqlite.connectString);
            QTest::mouseClick(dialog.SelectButton(), Qt::LeftButton);
            QCOMPARE(dialog.SelectButton()->text(), name);
            sawSuggestion = dialog.AliasEdit()->text() == name + QStringLiteral("(2)");
            // The reconnect choice is stored at once.
            QTest::mouseClick(dialog.ReconnectBox(), Qt::LeftButton);
            dialog.AliasEdit()->setText(name);
            panes.prompt.yesNoAnswers.push_back(false);
            QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
            stayedOpenOnNo = dialog.isVisible();
            panes.prompt.yesNoAnswers.push_back(true);
            QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
        });
        panes.tree->Hub().OnAddDatabase();
        QVERIFY(sawSuggestion);
        QVERIFY(stayedOpenOnNo);
        QCOMPARE(panes.prompt.questions.last(),
                 QStringLiteral("The name '%1' is already in use. Would you like to use '%2' instead?")
                     .arg(name, name + QStringLiteral("(2)")));
        QCOMPARE(hub.Databases().Entries().size(), std::size_t(2));
        const DatabaseEntryPtr added = hub.Databases().Entries().back();
        QCOMPARE(added->alias, name + QStringLiteral("(2)"));
        QVERIFY(!added->reconnect);
        QCOMPARE(panes.store.ReadInt(QStringLiteral("Settings"), QStringLiteral("Reconnect"), 1), 0);
        // The added database is selected and shown in the tree.
        QCOMPARE(panes.tree->SelectedNode(), added->node);
        QCOMPARE(panes.tree->currentItem()->text(0), added->alias);
        QTRY_VERIFY_WITH_TIMEOUT(panes.idle(), 30000);

        // A cancelled dialog still starts the next one with the stored choice, and adds nothing.
        whenShown<CAddDatabaseDlg>(
            [](CAddDatabaseDlg& dialog) { QVERIFY(!dialog.ReconnectBox()->isChecked()); });
        panes.tree->Hub().OnAddDatabase();
        QCOMPARE(hub.Databases().Entries().size(), std::size_t(2));
    }

    void treeAndListFollowTheUser()
    {
        const TestDataSource& sqlite = testDataSource(QStringLiteral("sqlite"));
        VELKARO_REQUIRE_DATA_SOURCE(sqlite);
        Panes panes;
        ExplorerHub& hub = panes.tree->Hub();
        QVERIFY(hub.AddDatabase(connectTo(sqlite, panes.prompt), QStringLiteral("Zeta"), true, true, false));
        QVERIFY(hub.AddDatabase(connectTo(sqlite, panes.prompt), QStringLiteral("Alpha"), true, true, false));
        QTRY_VERIFY_WITH_TIMEOUT(panes.idle(), 30000);
        // Quiet adds leave the list alone until the next fill, as at start-up.
        hub.ShowSelection();
        const NodeId root = hub.Tree().Root();
        QTreeWidgetItem* rootItem = panes.item(root);
        // The tree sorts by alias; the list keeps the order of adding.
        QCOMPARE(rootItem->child(0)->text(0), QStringLiteral("Alpha"));
        QCOMPARE(rootItem->child(1)->text(0), QStringLiteral("Zeta"));
        QCOMPARE(panes.listTexts(), (QStringList{QStringLiteral("Zeta"), QStringLiteral("Alpha")}));

        // Double clicks go one level down, except on column rows.
        auto doubleClickRow = [&](const QString& text) {
            const QList<QTreeWidgetItem*> rows = panes.list->findItems(text, Qt::MatchExactly);
            QVERIFY(!rows.isEmpty());
            panes.list->scrollToItem(rows.first());
            const QPoint point = panes.list->visualItemRect(rows.first()).center();
            QTest::mouseClick(panes.list->viewport(), Qt::LeftButton, {}, point);
            QTest::mouseDClick(panes.list->viewport(), Qt::LeftButton, {}, point);
        };
        doubleClickRow(QStringLiteral("Alpha"));
        const NodeId alpha = hub.Databases().FindEntryByAlias(QStringLiteral("Alpha"))->node;
        QCOMPARE(panes.tree->SelectedNode(), alpha);
        QCOMPARE(panes.list->ColumnSet(), 1);
        QTRY_VERIFY(panes.listTexts().contains(QStringLiteral("customers")));
        doubleClickRow(QStringLiteral("customers"));
        const NodeId customers = hub.Tree().FindChildByText(alpha, QStringLiteral("customers"));
        QCOMPARE(panes.tree->SelectedNode(), customers);
        QCOMPARE(panes.list->ColumnSet(), 2);
        QTRY_VERIFY(panes.listTexts().contains(QStringLiteral("notes")));
        QVERIFY(panes.store.ReadInt(QStringLiteral("Settings"), QStringLiteral("C-10"), 0) > 0);
        doubleClickRow(QStringLiteral("notes"));
        QCOMPARE(panes.tree->SelectedNode(), customers);
        QCOMPARE(panes.location.currentText(), QStringLiteral("Alpha::customers"));

        // Enter on a row does what a double click does: nothing on a column, one level down elsewhere.
        panes.list->setCurrentItem(panes.list->findItems(QStringLiteral("notes"), Qt::MatchExactly).first());
        QTest::keyClick(panes.list.get(), Qt::Key_Return);
        QCOMPARE(panes.tree->SelectedNode(), customers);
        hub.Up();
        QTRY_VERIFY(panes.listTexts().contains(QStringLiteral("orders")));
        panes.list->setCurrentItem(panes.list->findItems(QStringLiteral("orders"), Qt::MatchExactly).first());
        QTest::keyClick(panes.list.get(), Qt::Key_Enter);
        QCOMPARE(hub.Tree().NodeText(panes.tree->SelectedNode()), QStringLiteral("orders"));
        QVERIFY(panes.tree->SelectNode(customers));

        // A right click leaves the selection where it is.
        QTreeWidgetItem* zeta = panes.item(hub.Databases().FindEntryByAlias(QStringLiteral("Zeta"))->node);
        QTest::mouseClick(panes.tree->viewport(), Qt::RightButton, {},
                          panes.tree->visualItemRect(zeta).center());
        QCOMPARE(panes.tree->SelectedNode(), customers);

        // Picking a path from the location bar after a refresh dropped its object.
        panes.tree->Hub().Up();
        QCOMPARE(panes.tree->SelectedNode(), alpha);
        const int picked = panes.location.findText(QStringLiteral("Alpha::customers"));
        QVERIFY(picked > 0);
        hub.Tree().DeleteChildNodes(alpha);
        pickFromList(panes.location, QStringLiteral("Alpha::customers"));
        QCOMPARE(panes.prompt.messages.last(),
                 QStringLiteral("Cannot find object in database, Please refresh this database."));
        QCOMPARE(panes.tree->SelectedNode(), alpha);
        QCOMPARE(panes.item(alpha)->childCount(), 0);
    }

    void locationBarNavigatesOnlyOnAChoiceFromItsList()
    {
        const TestDataSource& sqlite = testDataSource(QStringLiteral("sqlite"));
        VELKARO_REQUIRE_DATA_SOURCE(sqlite);
        Panes panes;
        ExplorerHub& hub = panes.tree->Hub();
        QVERIFY(
            hub.AddDatabase(connectTo(sqlite, panes.prompt), QStringLiteral("Alpha"), true, false, false));
        QTRY_VERIFY_WITH_TIMEOUT(panes.idle(), 30000);
        const NodeId alpha = hub.Databases().Entries().front()->node;
        const NodeId customers = hub.Tree().FindChildByText(alpha, QStringLiteral("customers"));
        QVERIFY(panes.tree->SelectNode(customers));
        QVERIFY(panes.tree->SelectNode(alpha));
        QCOMPARE(panes.location.itemText(0), QStringLiteral("Alpha"));

        // A typed text that matches an entry stays a text: Enter and leaving the field leave the selection.
        QLineEdit* field = panes.location.lineEdit();
        field->clear();
        QTest::keyClicks(field, QStringLiteral("Alpha::customers"));
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(panes.tree->SelectedNode(), alpha);
        emit field->editingFinished(); // what leaving the field reports
        QCOMPARE(panes.tree->SelectedNode(), alpha);

        // A choice from the list goes there, with the mouse or with Enter.
        pickFromList(panes.location, QStringLiteral("Alpha::customers"));
        QCOMPARE(panes.tree->SelectedNode(), customers);
        panes.location.showPopup();
        QAbstractItemView* list = panes.location.view();
        QTRY_VERIFY(list->isVisible());
        list->setCurrentIndex(
            panes.location.model()->index(panes.location.findText(QStringLiteral("Alpha")), 0));
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(panes.tree->SelectedNode(), alpha);
        QVERIFY(panes.prompt.messages.isEmpty());
    }

    void aShownObjectTakesItsOwnerOnceANamesakeArrives()
    {
        Panes panes;
        NodeTree& tree = panes.tree->Hub().Tree();
        const NodeId shop = tree.InsertDatabaseNode(QStringLiteral("Shop"));
        const NodeId current = tree.InsertObjectNode(
            shop, ObjectName{QStringLiteral("shop"), QStringLiteral("public"), QStringLiteral("customers")},
            QStringLiteral("TABLE"));
        QCOMPARE(panes.item(current)->text(0), QStringLiteral("customers"));
        QCOMPARE(panes.item(current)->toolTip(0), QStringLiteral("public.customers"));
        const NodeId archived = tree.InsertObjectNode(
            shop, ObjectName{QStringLiteral("shop"), QStringLiteral("archive"), QStringLiteral("customers")},
            QStringLiteral("TABLE"));
        QCOMPARE(panes.item(current)->text(0), QStringLiteral("public.customers"));
        QCOMPARE(panes.item(archived)->text(0), QStringLiteral("archive.customers"));
        QCOMPARE(panes.item(archived)->toolTip(0), QStringLiteral("archive.customers"));
    }

    void largeLoadReachesTheTreeInBatches()
    {
        Panes panes;
        NodeTree& tree = panes.tree->Hub().Tree();
        const NodeId database = tree.InsertDatabaseNode(QStringLiteral("Big"));
        constexpr int kObjects = 5000;
        // Inserted from another thread, as a worker does, without waiting for the tree widget.
        std::thread worker([&tree, database] {
            for (int i = 0; i < kObjects; ++i)
                tree.InsertObjectNode(database, QStringLiteral("table_%1").arg(i), QStringLiteral("TABLE"));
        });
        worker.join();
        // Turn the event loop until the first batch shows; it holds only part of the load.
        QTreeWidgetItem* big = nullptr;
        QElapsedTimer clock;
        clock.start();
        while (!big && clock.elapsed() < 5000) {
            QCoreApplication::processEvents();
            big = panes.tree->ItemForNode(database);
        }
        QVERIFY(big);
        QVERIFY(big->childCount() < kObjects);
        QTRY_COMPARE(big->childCount(), kObjects);
        QCOMPARE(big->child(kObjects - 1)->text(0), QStringLiteral("table_4999"));
    }

    void removingTheSelectedDatabaseSelectsTheRoot()
    {
        const TestDataSource& sqlite = testDataSource(QStringLiteral("sqlite"));
        VELKARO_REQUIRE_DATA_SOURCE(sqlite);
        Panes panes;
        ExplorerHub& hub = panes.tree->Hub();
        panes.tree->Hub().OnRemoveDatabase();
        QCOMPARE(panes.prompt.messages.last(), QStringLiteral("There are no databases to remove"));

        QVERIFY(hub.AddDatabase(connectTo(sqlite, panes.prompt), QStringLiteral("Beta"), true, false, false));
        QVERIFY(hub.AddDatabase(connectTo(sqlite, panes.prompt), QStringLiteral("Alpha"), true, true, false));
        QTRY_VERIFY_WITH_TIMEOUT(panes.idle(), 30000);
        const NodeId beta = hub.Databases().FindEntryByAlias(QStringLiteral("Beta"))->node;
        QCOMPARE(panes.tree->SelectedNode(), beta);

        QStringList listed;
        whenShown<CRemoveDatabaseDlg>([&](CRemoveDatabaseDlg& dialog) {
            for (int row = 0; row < dialog.AliasList()->count(); ++row)
                listed.append(dialog.AliasList()->item(row)->text());
            QTest::mouseClick(dialog.RemoveButton(), Qt::LeftButton);
            QVERIFY(dialog.isVisible());
            dialog.AliasList()->setCurrentRow(dialog.AliasList()->row(
                dialog.AliasList()->findItems(QStringLiteral("Beta"), Qt::MatchExactly).first()));
            panes.prompt.yesNoAnswers.push_back(true);
            QTest::mouseClick(dialog.RemoveButton(), Qt::LeftButton);
        });
        panes.tree->Hub().OnRemoveDatabase();
        QCOMPARE(listed, (QStringList{QStringLiteral("Alpha"), QStringLiteral("Beta")}));
        QVERIFY(panes.prompt.messages.contains(QStringLiteral("Please select a database to remove")));
        QCOMPARE(panes.prompt.questions.last(),
                 QStringLiteral("Are you sure you want to remove database: Beta?"));
        QVERIFY(!hub.Tree().Exists(beta));
        QVERIFY(!panes.tree->ItemForNode(beta));
        QCOMPARE(panes.tree->SelectedNode(), hub.Tree().Root());
        QCOMPARE(panes.listTexts(), QStringList{QStringLiteral("Alpha")});
        QVERIFY(!hub.History().BackList().empty());
        for (NodeId node : hub.History().BackList())
            QVERIFY(node != beta);
    }
};

QTEST_MAIN(CLeftViewTest)
#include "CLeftViewTest.moc"

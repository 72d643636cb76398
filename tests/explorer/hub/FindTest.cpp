// Find and Find Next through the hub over two small SQLite databases, with the panes as plain data:
// the order of matches, the options, the "Look in:" scope, the history and the end of a search.

#include "HubTestPort.h"
#include "catalog/CDbSession.h"
#include "common/ProfileStore.h"
#include "tests/support/ActivityLogFile.h"
#include "tests/support/RecordingPrompt.h"
#include "tests/support/SqliteFixture.h"
#include "tests/support/TestDataSources.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(velkaro::FindOptions)

using namespace velkaro;
using namespace velkaro::test;

namespace {

// "Records" contains ORD in its alias; "Zeta" sorts after it. Table names sort in creation order.
const char* const kRecordsScript = "CREATE TABLE misc (label INTEGER);\n"
                                   "CREATE TABLE orders (id INTEGER, ordinal INTEGER);\n"
                                   "CREATE INDEX orders_ix ON orders (ordinal);\n"
                                   "CREATE TABLE orders_old (note VARCHAR(20));\n";
const char* const kZetaScript = "CREATE TABLE border (x INTEGER);\n"
                                "CREATE TABLE items (id INTEGER, order_no INTEGER);\n"
                                "CREATE INDEX items_ord ON items (order_no);\n";

// Every match of "ord" with all options on, over all databases: the selected node's path, and the
// list row after a slash.
const QStringList kAllOrdMatches{
    QStringLiteral("Records"),
    QStringLiteral("Records::orders"),
    QStringLiteral("Records::orders/ordinal"),
    QStringLiteral("Records::orders::orders_ix"),
    QStringLiteral("Records::orders::orders_ix/ordinal"),
    QStringLiteral("Records::orders_old"),
    QStringLiteral("Zeta::border"),
    QStringLiteral("Zeta::items/order_no"),
    QStringLiteral("Zeta::items::items_ord"),
    QStringLiteral("Zeta::items::items_ord/order_no"),
};

FindOptions onlyIndexColumns()
{
    FindOptions options;
    options.databaseNames = options.objectNames = options.columnNames = options.indexNames = false;
    return options;
}

FindOptions wholeWord()
{
    FindOptions options;
    options.wholeWord = true;
    return options;
}

struct Explorer
{
    Explorer()
    {
        store.WriteString(QStringLiteral("Log"), QStringLiteral("File"),
                          dir.filePath(QStringLiteral("velkaro")));
        store.WriteInt(QStringLiteral("Log"), QStringLiteral("LSCOL"), 1);
        hub = std::make_unique<ExplorerHub>(store, prompt);
        port = std::make_unique<HubTestPort>(*hub);
        hub->InsertRoot();
    }
    ~Explorer()
    {
        hub->Shutdown();
        port.reset();
        hub.reset();
    }

    bool add(const QString& alias, const char* script)
    {
        const QString file = dir.filePath(alias + QStringLiteral(".sqlite"));
        if (!buildSqliteFile(file, script))
            return false;
        auto session = std::make_shared<CDbSession>();
        session->ConnectByString(sqliteFileConnectString(file), prompt);
        if (session->ConnectFailed())
            return false;
        hub->AddDatabase(session, alias, false, true, false);
        return QTest::qWaitFor([this] { return !hub->CanStop(); }, 30000);
    }

    // The match a search step shows, as kAllOrdMatches writes it; "" when it found nothing.
    QString step(const std::function<void()>& command)
    {
        const int messages = static_cast<int>(prompt.messages.size());
        port->selectedRow.clear();
        const int changes = port->selectionChanges;
        command();
        if (prompt.messages.size() > messages && port->selectionChanges == changes &&
            port->selectedRow.isEmpty())
            return QString();
        const QString path = pathOf(port->selected);
        return port->selectedRow.isEmpty() ? path : path + QLatin1Char('/') + port->selectedRow;
    }
    QString pathOf(NodeId node) const
    {
        QStringList texts;
        for (; hub->Tree().NodeLevel(node) > 0; node = hub->Tree().Parent(node))
            texts.prepend(hub->Tree().NodeText(node));
        return texts.join(QStringLiteral("::"));
    }
    QString find(const QString& text, const FindOptions& options = {},
                 const QString& scope = QStringLiteral("Velkaro"))
    {
        return step([&] { hub->RunFind(FindRequest{false, text, options, scope}); });
    }
    QString findNext()
    {
        return step([this] { hub->FindNext(); });
    }
    // Every match from a new search on, until Find Next finds no more.
    QStringList allMatches(const QString& text, const FindOptions& options, const QString& scope)
    {
        QStringList found;
        for (QString match = find(text, options, scope); !match.isEmpty() && found.size() < 50;
             match = findNext())
            found.append(match);
        return found;
    }

    QTemporaryDir dir;
    ProfileStore store{QStringLiteral("Velkaro")};
    RecordingPrompt prompt;
    std::unique_ptr<ExplorerHub> hub;
    std::unique_ptr<HubTestPort> port;
};

} // namespace

class FindTest final : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        ProfileStore store(QStringLiteral("Velkaro"));
        QFile::remove(store.FileName());
        VELKARO_REQUIRE_DATA_SOURCE(testDataSource(QStringLiteral("sqlite")));
        m_explorer = std::make_unique<Explorer>();
        // Added out of alias order: the search follows the tree, which is sorted by alias.
        QVERIFY(m_explorer->add(QStringLiteral("Zeta"), kZetaScript));
        QVERIFY(m_explorer->add(QStringLiteral("Records"), kRecordsScript));
    }
    void cleanup() { m_explorer.reset(); }

    void matchesInOrderThenNoMoreUntilANewFind()
    {
        Explorer& e = *m_explorer;
        QCOMPARE(e.allMatches(QStringLiteral("ord"), {}, QStringLiteral("Velkaro")), kAllOrdMatches);
        const QString noMore = QStringLiteral("Cannot find string 'ord'.");
        QCOMPARE(e.prompt.messages, QStringList{noMore});
        QCOMPARE(e.findNext(), QString());
        QCOMPARE(e.prompt.messages, (QStringList{noMore, noMore}));
        // A column match lists the object's rows, so the row to select is there.
        QVERIFY(e.find(QStringLiteral("order_no"), wholeWord()) == QStringLiteral("Zeta::items/order_no"));
        QVERIFY(e.port->rowTexts().contains(QStringLiteral("order_no")));

        // One line per database a step searches: a step that goes on to the next database logs both.
        e.hub->GetActivityLog().Flush();
        const QStringList log = activityLogMessages(e.dir.filePath(QStringLiteral("velkaro.log")));
        QCOMPARE(log.count(QStringLiteral("Records: Searching for 'ord'.")), 7);
        QCOMPARE(log.count(QStringLiteral("Zeta: Searching for 'ord'.")), 5);
    }

    void optionsAndScope_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<FindOptions>("options");
        QTest::addColumn<QString>("scope");
        QTest::addColumn<QStringList>("matches");
        QTest::addColumn<QStringList>("messages");
        const QStringList noMore{QStringLiteral("Cannot find string 'ord'.")};

        QTest::newRow("whole word finds ORDERS, not ORDERS_OLD")
            << QStringLiteral("orders") << wholeWord() << QStringLiteral("Velkaro")
            << QStringList{QStringLiteral("Records::orders")}
            << QStringList{QStringLiteral("Cannot find string 'orders'.")};
        QTest::newRow("upper case text finds lower case names")
            << QStringLiteral("ORDINAL") << wholeWord() << QStringLiteral("Velkaro")
            << QStringList{QStringLiteral("Records::orders/ordinal"),
                           QStringLiteral("Records::orders::orders_ix/ordinal")}
            << QStringList{QStringLiteral("Cannot find string 'ORDINAL'.")};
        QTest::newRow("options off still walk the lists below them")
            << QStringLiteral("ord") << onlyIndexColumns() << QStringLiteral("Velkaro")
            << QStringList{QStringLiteral("Records::orders::orders_ix/ordinal"),
                           QStringLiteral("Zeta::items::items_ord/order_no")}
            << noMore;
        QTest::newRow("one database") << QStringLiteral("ord") << FindOptions{} << QStringLiteral("Zeta")
                                      << kAllOrdMatches.mid(6) << noMore;
        QTest::newRow("removed database starts from the root")
            << QStringLiteral("ord") << FindOptions{} << QStringLiteral("Gone") << kAllOrdMatches
            << QStringList{QStringLiteral("Cannot find starting place, starting from root."), noMore.first()};
        QTest::newRow("text as typed: a trailing blank takes part")
            << QStringLiteral("orders ") << FindOptions{} << QStringLiteral("Velkaro") << QStringList{}
            << QStringList{QStringLiteral("Cannot find string 'orders '.")};
    }
    void optionsAndScope()
    {
        QFETCH(QString, text);
        QFETCH(FindOptions, options);
        QFETCH(QString, scope);
        QFETCH(QStringList, matches);
        QFETCH(QStringList, messages);
        QCOMPARE(m_explorer->allMatches(text, options, scope), matches);
        QCOMPARE(m_explorer->prompt.messages, messages);
    }

    void historyKeepsTenDistinctStrings()
    {
        Explorer& e = *m_explorer;
        e.find(QStringLiteral("ord"));
        e.find(QStringLiteral("ord"));
        QCOMPARE(e.hub->GetFindHistory().Strings(), QStringList{QStringLiteral("ord")});
        QStringList expected;
        for (int n = 1; n <= 11; ++n) {
            e.find(QStringLiteral("s%1").arg(n));
            expected.prepend(QStringLiteral("s%1").arg(n));
        }
        QCOMPARE(e.hub->GetFindHistory().Strings(), expected.mid(0, 10));
        // The dialog opens with the history and the search in progress.
        e.hub->Find();
        QCOMPARE(e.port->findInputs.last().history, expected.mid(0, 10));
        QCOMPARE(e.port->findInputs.last().text, QStringLiteral("s11"));
        QCOMPARE(e.port->findInputs.last().lookIn,
                 (QStringList{QStringLiteral("Velkaro"), QStringLiteral("Zeta"), QStringLiteral("Records")}));
    }

    void refreshOfTheSearchedDatabaseEndsTheSearch()
    {
        Explorer& e = *m_explorer;
        QCOMPARE(e.find(QStringLiteral("ord")), QStringLiteral("Records"));
        // Refreshing another database leaves the search alone.
        e.hub->RefreshDatabase(e.hub->Databases().FindEntryByAlias(QStringLiteral("Zeta")), false);
        QVERIFY(QTest::qWaitFor([&] { return !e.hub->CanStop(); }, 30000));
        QCOMPARE(e.findNext(), QStringLiteral("Records::orders"));

        e.hub->RefreshDb();
        QVERIFY(QTest::qWaitFor([&] { return !e.hub->CanStop(); }, 30000));
        QCOMPARE(e.hub->GetFindSearch().SearchString(), QString());
        // Find Next then asks what to search for; "Find Next" in the dialog asks again.
        e.port->findAnswers = {FindRequest{true, {}, {}, {}}, std::nullopt};
        e.hub->FindNext();
        QCOMPARE(e.port->findInputs.size(), 2);
        QCOMPARE(e.port->findInputs.first().text, QString());
        QCOMPARE(e.prompt.messages, QStringList());
    }

    void findDialogAnswerStartsTheSearchAndStoresOptions()
    {
        Explorer& e = *m_explorer;
        e.port->findAnswers = {
            FindRequest{false, QStringLiteral("orders"), wholeWord(), QStringLiteral("Records")}};
        e.hub->Find();
        QCOMPARE(e.port->locations.value(0), QStringLiteral("Records::orders"));
        QCOMPARE(e.port->treeFocus, 1);
        QCOMPARE(FindOptions::Load(e.store), wholeWord());
        QCOMPARE(e.hub->GetFindHistory().Strings(), QStringList{QStringLiteral("orders")});
    }

private:
    std::unique_ptr<Explorer> m_explorer;
};

QTEST_MAIN(FindTest)
#include "FindTest.moc"

#include "explorer/hub/ExplorerHub.h"

#include "catalog/CDbSession.h"
#include "common/ProfileStore.h"
#include "common/UserPrompt.h"
#include "explorer/core/NodeImages.h"
#include "explorer/core/RecentDatabases.h"
#include "explorer/core/WorkerWait.h"
#include "explorer/hub/TreeViewPort.h"

#include <QDateTime>
#include <QThread>
#include <algorithm>

namespace velkaro {

namespace {

QString detached(const QString& text)
{
    return QString(text.constData(), text.size());
}

qint64 now()
{
    return QDateTime::currentSecsSinceEpoch();
}

} // namespace

const QString ExplorerHub::kMaximumThreadsMessage = QStringLiteral(
    "The maximum number of threads setup on the Object Lookup settings has been reached.\n"
    "Your new database will be queued and added once a thread is available.\n"
    "To avoid this you should increase the maximum number of threads in the Object Lookup settings.");

ExplorerHub::ExplorerHub(ProfileStore& store, UserPrompt& prompt, QObject* parent)
    : QObject(parent), m_store(store), m_prompt(prompt), m_runtime(std::make_shared<HubRuntime>(prompt)),
      m_workers(m_runtime, m_databases, prompt,
                {[this] { ShowSelection(); }, [this] { emit commandStateChanged(); }}),
      m_navigation(m_runtime->tree, prompt),
      m_selectionList(m_runtime, m_databases, prompt, this, [this] { return selectedNode(); })
{
    m_startTime = now();
    m_runtime->terminateRequested.store(0);
    m_findHistory.load(store);
    m_runtime->logSettings.load(store);
    // The runtime may be released by the last worker; its strings share nothing with the store.
    m_runtime->logSettings.fileName = detached(m_runtime->logSettings.fileName);
    m_runtime->log.WriteLog(QStringLiteral("Velkaro started."), true);
    m_runtime->objectSettings.load(store);
    m_runtime->lookupSettings.load(store);
    m_runtime->refreshSettings.load(store);

    m_runtime->poster.setReceiver(this, "runInterfacePosts");
    std::weak_ptr<HubRuntime> weakRuntime = m_runtime;
    m_runtime->tree.setChangesPendingCallback([this, weakRuntime] {
        if (auto runtime = weakRuntime.lock())
            runtime->poster.post([this] {
                if (m_port)
                    m_port->treeChangesPending();
            });
    });
}

ExplorerHub::~ExplorerHub()
{
    shutdown();
}

void ExplorerHub::setPort(TreeViewPort* port)
{
    m_port = port;
    m_navigation.setPort(port);
}

NodeId ExplorerHub::selectedNode() const
{
    return m_port ? m_port->selectedNode() : 0;
}

void ExplorerHub::log(const QString& message)
{
    m_runtime->log.WriteLog(message);
}

void ExplorerHub::logIf(const std::atomic<int>& category, const QString& message)
{
    m_runtime->logIf(category, message);
}

bool ExplorerHub::selectNode(NodeId node)
{
    return m_port && node != 0 && m_port->selectNode(node);
}

void ExplorerHub::pause(int ms)
{
    if (m_port)
        m_port->pause(ms);
    else
        QThread::msleep(static_cast<unsigned long>(ms));
}

// ---- start-up and shutdown ----

void ExplorerHub::InsertRoot()
{
    const NodeId root = tree().insertRoot();
    // The root's own first selection neither loads nor fills; the database list is filled here.
    selectNode(root);
    m_firstSelection = false;
    ShowSelection();
}

void ExplorerHub::ReconnectRecentDatabases()
{
    const QList<RecentDatabase> recent = RecentDatabases::read(m_store);
    for (const RecentDatabase& database : recent) {
        auto session = std::make_shared<CDbSession>();
        session->setLog(&m_runtime->log);
        session->ConnectByString(database.connectString, m_prompt);
        if (session->connectFailed()) {
            log(QStringLiteral("Failed to reconnect to database %1 using connect string: %2")
                    .arg(database.alias, database.connectString));
            continue;
        }
        if (!AddDatabase(session, database.alias, true, true, database.ownerOnly))
            log(kMaximumThreadsMessage);
        selectNode(tree().root());
        ShowSelection();
    }
}

void ExplorerHub::beginShutdown()
{
    m_runtime->terminateRequested.store(1);
}

void ExplorerHub::shutdown()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    HubRuntime& runtime = *m_runtime;
    logIf(runtime.logSettings.LANY, QStringLiteral("Terminating working threads."));
    runtime.terminateRequested.store(1);
    if (m_port)
        m_port->showTerminateWait(true);
    // A removed database's worker is waited for as well.
    if (!m_databases.empty() || m_workers.anyBusy()) {
        const bool stopped =
            WorkerWait::waitForShutdown([this] { return m_workers.anyBusy(); }, [this](int ms) { pause(ms); },
                                        [this](int value) {
                                            if (m_port)
                                                m_port->showTerminateCountdown(value);
                                        });
        if (!stopped)
            logIf(runtime.logSettings.LANY,
                  QStringLiteral("Working threads not responding, quitting anyway."));
    }
    if (m_port)
        m_port->showTerminateWait(false);
    const bool logAll = runtime.logSettings.LANY.load() != 0;
    log(logAll ? QStringLiteral("Releasing used memory.") : QStringLiteral("Velkaro terminated."));
    SaveRecentDatabases();
    m_workers.releaseAll();
    if (!m_findHistory.save(m_store))
        m_prompt.showMessage(QStringLiteral("Could not save the find history."));
    m_findHistory.strings().clear();
    if (logAll)
        log(QStringLiteral("Velkaro terminated."));
    // Workers still running keep the runtime alive; they no longer reach this object.
    runtime.poster.setReceiver(nullptr);
    runtime.tree.setChangesPendingCallback({});
}

void ExplorerHub::SaveRecentDatabases()
{
    QList<RecentDatabase> reconnect;
    for (const DatabaseEntryPtr& entry : m_databases.entries()) {
        // Copies that share no string data with a worker still holding the entry: the last
        // release then never pairs a worker's count with one inside the settings store.
        if (entry->reconnect)
            reconnect.append(
                {detached(entry->alias), entry->ownerOnly, detached(entry->session->connectString())});
    }
    if (!RecentDatabases::write(m_store, reconnect))
        m_prompt.showMessage(QStringLiteral("Could not save the databases to reconnect at the next start."));
    // A worker still running holds its own reference; the rest are disconnected here.
    m_databases.takeAll();
}

// ---- database list ----

bool ExplorerHub::AddDatabase(std::shared_ptr<CDbSession> session, const QString& alias, bool reconnect,
                              bool quiet, bool ownerOnly)
{
    m_addingDatabase = true;
    if (!session || session->connectFailed()) {
        // Nothing was added, so nothing may keep later selections from loading on access.
        m_addingDatabase = false;
        return true;
    }
    auto entry = std::make_shared<DatabaseEntry>();
    entry->session = std::move(session);
    entry->session->setLog(&m_runtime->log);
    entry->alias = alias.isEmpty() ? m_databases.MakeUniqueAlias(entry->session->displayName()) : alias;
    entry->reconnect = reconnect;
    entry->ownerOnly = ownerOnly;
    entry->lastRefreshed.store(now());
    logIf(m_runtime->logSettings.LADD, entry->alias + QStringLiteral(": Loading database information."));
    if (m_port)
        m_port->setBusyCursor(true);
    entry->node = tree().InsertDatabaseNode(entry->alias);
    if (m_port)
        m_port->setBusyCursor(false);
    m_databases.append(entry);
    emit commandStateChanged();

    if (m_runtime->lookupSettings.RAOBJ.load() == 1) {
        m_addingDatabase = false;
        const NodeId root = tree().root();
        if (selectedNode() != root)
            selectNode(root);
        else
            ShowSelection();
        return true;
    }
    if (!quiet)
        selectNode(entry->node);
    const bool started = m_workers.startLoad(entry, quiet);
    // A queued add ends the add as well, so later empty database nodes load on access again.
    m_addingDatabase = false;
    emit commandStateChanged();
    return started;
}

void ExplorerHub::AddChosenDatabase(std::shared_ptr<CDbSession> session, const QString& alias, bool reconnect,
                                    bool ownerOnly)
{
    if (!AddDatabase(std::move(session), alias, reconnect, false, ownerOnly)) {
        log(kMaximumThreadsMessage);
        m_prompt.showMessage(kMaximumThreadsMessage);
    }
}

void ExplorerHub::OnAddDatabase()
{
    if (!m_port)
        return;
    if (std::optional<ChosenDatabase> chosen = m_port->chooseDatabase())
        AddChosenDatabase(std::move(chosen->session), chosen->alias, chosen->reconnect, chosen->ownerOnly);
}

void ExplorerHub::OnRemoveDatabase()
{
    if (!tree().hasChildren(tree().root())) {
        m_prompt.showMessage(QStringLiteral("There are no databases to remove"));
        return;
    }
    if (!m_port)
        return;
    QStringList aliases;
    for (const DatabaseEntryPtr& entry : m_databases.entries())
        aliases.append(entry->alias);
    const QString alias = m_port->chooseDatabaseToRemove(aliases);
    if (!alias.isEmpty())
        RemoveDatabase(alias);
}

void ExplorerHub::RemoveDatabase(const QString& alias)
{
    const NodeId selectedBefore = selectedNode();
    DatabaseEntryPtr entry = m_databases.FindEntryByAlias(alias);
    if (!entry) {
        m_prompt.showMessage(QStringLiteral("Could not delete database: %1").arg(alias));
        return;
    }
    if (entry->inUse->load() != 0 &&
        !m_prompt.askYesNo(QStringLiteral("Velkaro is still retriving information for this database.\n"
                                          "Are you sure you want to remove it?")))
        return;
    HubRuntime& runtime = *m_runtime;
    logIf(runtime.logSettings.LREM, alias + QStringLiteral(": Removing database."));
    const std::vector<NodeId> subtree = tree().subtree(entry->node);
    const bool logAll = runtime.logSettings.LANY.load() != 0;
    m_navigation.history().PurgeFromHistory(subtree, tree(), [this, logAll](const QString& line) {
        if (logAll)
            log(line);
    });
    // A worker still loading this database keeps the entry and its session until it ends.
    m_workers.forgetDatabase(entry);
    m_databases.remove(entry);
    tree().removeNode(entry->node);
    entry.reset();
    emit commandStateChanged();
    const NodeId root = tree().root();
    if (selectedBefore == root)
        ShowSelection();
    else
        selectNode(root);
}

// ---- refresh ----

void ExplorerHub::resetFindFor(NodeId databaseNode, const char* message)
{
    if (m_findHistory.searchString.isEmpty())
        return;
    if (databaseNode != 0 && m_findHistory.searchDatabase != databaseNode)
        return;
    m_findHistory.searchString.clear();
    logIf(m_runtime->logSettings.LANY, QLatin1String(message));
}

void ExplorerHub::RefreshDatabase(const DatabaseEntryPtr& entry, bool foreground)
{
    HubRuntime& runtime = *m_runtime;
    if (entry->inUse->load() != 0) {
        log(QStringLiteral("Could not refresh database %1, the database is in use by another thread.")
                .arg(entry->alias));
        return;
    }
    resetFindFor(entry->node, "Find next has been reset as objects may have changed due to a refresh.");
    entry->inUse->store(1);
    logIf(runtime.logSettings.LREF, entry->alias + QStringLiteral(": Refreshing database."));
    if (foreground) {
        selectNode(entry->node);
    } else if (runtime.lookupSettings.RAOBJ.load() == 1 && !tree().hasChildren(entry->node)) {
        entry->lastRefreshed.store(now());
        entry->inUse->store(0);
        return;
    }
    tree().DeleteChildNodes(entry->node);
    entry->lastRefreshed.store(now());
    m_workers.startRefresh(entry, foreground);
    emit commandStateChanged();
}

void ExplorerHub::RefreshObject(const QString& objectName, NodeId objectNode, bool explicitLoad)
{
    DatabaseEntryPtr entry = m_databases.FindEntryByNode(tree().parent(objectNode));
    if (!entry)
        return;
    m_workers.startObjectRefresh(entry, objectName, objectNode, explicitLoad);
    emit commandStateChanged();
}

void ExplorerHub::RefreshAll()
{
    resetFindFor(0, "Find next as been reset as objects may have changed due to a refresh.");
    const NodeId root = tree().root();
    selectNode(root);
    // Copied: a foreground refresh serves events, which may change the list.
    const std::vector<DatabaseEntryPtr> entries = m_databases.entries();
    for (const DatabaseEntryPtr& entry : entries)
        RefreshDatabase(entry, false);
    selectNode(root);
    emit commandStateChanged();
}

void ExplorerHub::RefreshDb()
{
    const NodeId databaseNode = tree().ancestorAtLevel(selectedNode(), 1);
    DatabaseEntryPtr entry = databaseNode ? m_databases.FindEntryByNode(databaseNode) : nullptr;
    if (!entry) {
        m_prompt.showMessage(QStringLiteral("Could not find database to refresh"));
        return;
    }
    RefreshDatabase(entry, true);
}

void ExplorerHub::RefreshFromHere()
{
    const NodeId node = selectedNode();
    switch (tree().NodeLevel(node)) {
    case 0:
        RefreshAll();
        break;
    case 1:
        RefreshDb();
        break;
    case 2:
        RefreshObject(tree().NodeText(node), node, true);
        break;
    case 3:
        m_prompt.showMessage(QStringLiteral("Cannot refresh from this level"));
        break;
    default:
        break;
    }
}

void ExplorerHub::StopWorkers()
{
    if (m_port)
        m_port->setBusyCursor(true);
    log(QStringLiteral("Requesting termination of working threads..."));
    m_runtime->terminateRequested.store(1);
    // A removed database's worker is waited for as well.
    if (!m_databases.empty() || m_workers.anyBusy()) {
        const bool stopped =
            WorkerWait::waitForStop([this] { return m_workers.anyBusy(); }, [this](int ms) { pause(ms); });
        if (!stopped) {
            m_prompt.showMessage(QStringLiteral("Warning: Not all working threads could be stopped."));
            logIf(m_runtime->logSettings.LANY, QStringLiteral("Working threads not responding."));
        }
    }
    m_runtime->terminateRequested.store(0);
    if (m_port)
        m_port->setBusyCursor(false);
    emit commandStateChanged();
}

// ---- navigation ----

void ExplorerHub::Back()
{
    m_navigation.back();
    emit commandStateChanged();
}

void ExplorerHub::Forward()
{
    m_navigation.forward();
    emit commandStateChanged();
}

void ExplorerHub::Up()
{
    m_navigation.up();
}

void ExplorerHub::GoToLocation(const QString& path)
{
    m_navigation.goToLocation(path);
}

bool ExplorerHub::SelectChildByText(const QString& text)
{
    return m_navigation.selectChildByText(text);
}

// ---- selection ----

void ExplorerHub::OnSelectionChanged(NodeId node)
{
    if (node == 0 || !tree().exists(node))
        return;
    if (m_port)
        m_port->setBusyCursor(true);
    m_navigation.showLocation(node);
    const int level = tree().NodeLevel(node);
    if (m_port && level != m_port->columnSet())
        m_port->switchColumnSet(level);
    if (m_firstSelection) {
        m_firstSelection = false;
    } else {
        loadOnAccess(node);
        ShowSelection();
    }
    if (m_port)
        m_port->setBusyCursor(false);
    emit commandStateChanged();
}

void ExplorerHub::loadOnAccess(NodeId node)
{
    if (tree().hasChildren(node))
        return;
    const int level = tree().NodeLevel(node);
    if (level == 1 && !m_addingDatabase) {
        RefreshDb();
    } else if (level == 2) {
        if (terminateRequested()) {
            log(QStringLiteral("Working thread terminated while showing object."));
            return;
        }
        const auto object = m_selectionList.findObject(node, QString());
        if (!object) {
            m_prompt.showMessage(QStringLiteral("Table not found, something is wrong"));
            return;
        }
        const auto columns = object->columns();
        if (!columns || columns->columns.empty())
            RefreshObject(tree().NodeText(node), node, true);
    }
}

void ExplorerHub::ShowSelection()
{
    if (!m_port)
        return;
    const NodeId node = m_port->selectedNode();
    if (node == 0 || !tree().exists(node))
        return;
    m_navigation.history().RecordVisit(node);
    const int level = tree().NodeLevel(node);
    if (level != 0 && terminateRequested())
        return;
    if (std::optional<ListFill> fill = m_selectionList.fillFor(node, level))
        m_port->fillList(std::move(*fill));
    emit commandStateChanged();
}

// ---- command enabling ----

bool ExplorerHub::canRefreshAll() const
{
    return tree().hasChildren(tree().root());
}

bool ExplorerHub::canRefreshDb() const
{
    const NodeId node = selectedNode();
    return node != 0 && node != tree().root() && tree().exists(node);
}

bool ExplorerHub::canRefreshFromHere() const
{
    const NodeId node = selectedNode();
    switch (tree().NodeLevel(node)) {
    case 0:
        return tree().hasChildren(node);
    case 1:
    case 2:
        return true;
    default:
        return false;
    }
}

bool ExplorerHub::canStop() const
{
    return m_workers.anyBusy();
}

bool ExplorerHub::canBack() const
{
    return m_navigation.canBack();
}

bool ExplorerHub::canForward() const
{
    return m_navigation.canForward();
}

bool ExplorerHub::canUp() const
{
    return m_navigation.canUp();
}

void ExplorerHub::runInterfacePosts()
{
    m_runtime->poster.runPending();
}

} // namespace velkaro

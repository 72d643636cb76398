#include "explorer/core/hub/ExplorerHub.h"

#include "catalog/CDbSession.h"
#include "common/ProfileStore.h"
#include "common/UserPrompt.h"
#include "explorer/core/NodeImages.h"
#include "explorer/core/RecentDatabases.h"
#include "explorer/core/WorkerWait.h"
#include "explorer/core/hub/TreeViewPort.h"

#include <QDateTime>
#include <QPointer>
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

// Database worker steps 2 to 5; the entry is already marked in use.
void runDatabaseJob(ExplorerJob& job, HubRuntime& runtime, const ExplorerHub::DatabaseLoad& load,
                    const std::function<void()>& showSelection)
{
    DatabaseEntry& entry = *job.entry;
    entry.inUse->store(1);
    if (load)
        load(job);
    else
        entry.session->LoadObjects(job.load);
    entry.lastRefreshed.store(now());
    if (runtime.terminateRequested.load() == 0) {
        runtime.logIf(runtime.logSettings.LADD,
                      entry.alias + QStringLiteral(": Database information loaded."));
        if (!job.load.quiet)
            showSelection();
    }
    entry.inUse->store(0);
}

// The job list keeps every job until shutdown; a finished one lets go of its database, so a
// removed database is disconnected as soon as nothing works on it any more.
void releaseFinishedJob(ExplorerJob& job)
{
    job.entry.reset();
    job.keepAlive.reset();
}

void runObjectJob(ExplorerJob& job, HubRuntime& runtime, const std::function<void()>& showSelection)
{
    DatabaseEntry& entry = *job.entry;
    entry.inUse->store(1);
    std::shared_ptr<ObjectRecord> object;
    for (const auto& candidate : entry.session->objects()) {
        if (runtime.terminateRequested.load() != 0) {
            entry.inUse->store(0);
            return;
        }
        if (candidate->name() == job.load.objectName) {
            object = candidate;
            break;
        }
    }
    if (!object) {
        runtime.log.WriteLog(QStringLiteral("Could not refresh object %1.").arg(job.load.objectName));
    } else if (object->type() != QLatin1String("SEQUENCE")) {
        entry.session->LoadColumns(job.load, job.load.objectNode, *object);
        if (runtime.terminateRequested.load() == 0)
            entry.session->LoadIndexes(job.load, job.load.objectNode, *object);
        if (runtime.terminateRequested.load() == 0)
            showSelection();
    }
    entry.inUse->store(0);
}

} // namespace

const QString ExplorerHub::kMaximumThreadsMessage = QStringLiteral(
    "The maximum number of threads setup on the Object Lookup settings has been reached.\n"
    "Your new database will be queued and added once a thread is available.\n"
    "To avoid this you should increase the maximum number of threads in the Object Lookup settings.");

ExplorerHub::ExplorerHub(ProfileStore& store, UserPrompt& prompt, QObject* parent)
    : QObject(parent), m_store(store), m_prompt(prompt), m_runtime(std::make_shared<HubRuntime>(prompt))
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
    m_jobs.setDrainHooks([this] { return m_databases.CountBusyDatabases(); },
                         // No queued job starts while a stop request is being served.
                         [this] { return terminateRequested() ? 0 : m_runtime->lookupSettings.MaxM.load(); },
                         [this](JobPtr job) { startQueuedJob(job); },
                         [this](const QString& line) { log(line); });
}

ExplorerHub::~ExplorerHub()
{
    shutdown();
}

void ExplorerHub::setPort(TreeViewPort* port)
{
    m_port = port;
}

NodeId ExplorerHub::selectedNode() const
{
    return m_port ? m_port->selectedNode() : 0;
}

void ExplorerHub::setDatabaseLoad(DatabaseLoad load)
{
    m_databaseLoad = std::move(load);
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
    if (!m_databases.empty()) {
        const bool stopped =
            WorkerWait::waitForShutdown([this] { return anyInUse(); },
                                        [this](int ms) {
                                            if (m_port)
                                                m_port->pause(ms);
                                            else
                                                QThread::msleep(static_cast<unsigned long>(ms));
                                        },
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
    m_jobs.releaseAll();
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
    JobPtr job = makeJob(entry, quiet, false);
    m_jobs.addJob(job);
    bool queued = false;
    if (m_databases.CountBusyDatabases() < m_runtime->lookupSettings.MaxM.load()) {
        if (!startDatabaseWorker(job)) {
            m_prompt.showMessage(
                QStringLiteral("Could not start refresh thread for database %1").arg(entry->alias));
            log(QStringLiteral("Could not start refresh thread for database %1.").arg(entry->alias));
        }
    } else {
        m_jobs.EnqueueJob(job);
        queued = true;
    }
    // A queued add ends the add as well, so later empty database nodes load on access again.
    m_addingDatabase = false;
    emit commandStateChanged();
    return !queued;
}

void ExplorerHub::AddChosenDatabase(std::shared_ptr<CDbSession> session, const QString& alias, bool reconnect,
                                    bool ownerOnly)
{
    if (!AddDatabase(std::move(session), alias, reconnect, false, ownerOnly)) {
        log(kMaximumThreadsMessage);
        m_prompt.showMessage(kMaximumThreadsMessage);
    }
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
    m_history.PurgeFromHistory(subtree, tree(), [this, logAll](const QString& line) {
        if (logAll)
            log(line);
    });
    // A worker still loading this database keeps the entry and its session until it ends.
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

// ---- workers and queue ----

ExplorerHub::JobPtr ExplorerHub::makeJob(const DatabaseEntryPtr& entry, bool quiet, bool explicitLoad)
{
    auto job = std::make_shared<ExplorerJob>();
    job->load.host = &m_runtime->host;
    job->load.alias = entry->alias;
    job->load.databaseNode = toCatalogNode(entry->node);
    job->load.ownerOnly = entry->ownerOnly;
    job->load.explicitLoad = explicitLoad;
    job->load.quiet = quiet;
    job->load.inUse = entry->inUse;
    job->entry = entry;
    job->keepAlive = m_runtime;
    return job;
}

bool ExplorerHub::startDatabaseWorker(const JobPtr& job)
{
    // Marked before the thread runs, so the slot count already includes it.
    job->entry->inUse->store(1);
    std::shared_ptr<HubRuntime> runtime = m_runtime;
    DatabaseLoad load = m_databaseLoad;
    // The worker reaches this hub only through the poster, which forgets it at shutdown.
    const bool started = m_workers.start([job = JobPtr(job), runtime, load, this]() mutable {
        HubRuntime* shared = runtime.get();
        runDatabaseJob(*job, *runtime, load,
                       [shared, this] { shared->poster.post([this] { ShowSelection(); }); });
        releaseFinishedJob(*job);
        // The job (entry, session) goes before the runtime its session logs to.
        job.reset();
        runtime.reset();
    });
    if (!started)
        job->entry->inUse->store(0);
    return started;
}

bool ExplorerHub::startObjectWorker(const JobPtr& job)
{
    std::shared_ptr<HubRuntime> runtime = m_runtime;
    return m_workers.start([job = JobPtr(job), runtime, this]() mutable {
        HubRuntime* shared = runtime.get();
        runObjectJob(*job, *runtime, [shared, this] { shared->poster.post([this] { ShowSelection(); }); });
        releaseFinishedJob(*job);
        job.reset();
        runtime.reset();
    });
}

void ExplorerHub::startQueuedJob(const JobPtr& job)
{
    const DatabaseEntryPtr entry = job->entry;
    const auto& entries = m_databases.entries();
    if (std::find(entries.begin(), entries.end(), entry) == entries.end()) {
        releaseFinishedJob(*job); // removed while it waited
        return;
    }
    if (entry->inUse->load() != 0) {
        // Two threads on one connection would corrupt its model; the refresh is refused as a
        // direct request for a busy database is.
        log(QStringLiteral("Could not refresh database %1, the database is in use by another thread.")
                .arg(entry->alias));
        return;
    }
    if (!startDatabaseWorker(job)) {
        m_prompt.showMessage(
            QStringLiteral("Could not start refresh thread for database %1").arg(entry->alias));
        log(QStringLiteral("Could not start refresh thread for database %1.").arg(entry->alias));
    }
    emit commandStateChanged();
}

int ExplorerHub::busyOthers(const DatabaseEntry& entry) const
{
    return m_databases.CountBusyDatabases() - (entry.inUse->load() != 0 ? 1 : 0);
}

bool ExplorerHub::anyInUse() const
{
    return m_databases.CountBusyDatabases() > 0;
}

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
    JobPtr job = makeJob(entry, !foreground, false);
    m_jobs.addJob(job);
    entry->lastRefreshed.store(now());

    if (busyOthers(*entry) < runtime.lookupSettings.MaxM.load()) {
        if (startDatabaseWorker(job)) {
            emit commandStateChanged();
            return; // the worker clears the flag when it ends
        }
        m_prompt.showMessage(
            QStringLiteral("Could not start refresh thread for database %1").arg(entry->alias));
        log(QStringLiteral("Could not start refresh thread for database %1.").arg(entry->alias));
    } else if (foreground) {
        log(QStringLiteral(
                "Database %1 is being refreshed in the foreground, to avoid this in the future you "
                "should increase the maximum number of threads in the Object Lookup settings.")
                .arg(entry->alias));
        runDatabaseJob(*job, runtime, m_databaseLoad, [this] { ShowSelection(); });
        releaseFinishedJob(*job);
    } else if (m_jobs.EnqueueJob(job)) {
        log(QStringLiteral("Database %1 has been queued for refresh.").arg(entry->alias));
    }
    entry->inUse->store(0);
}

void ExplorerHub::RefreshObject(const QString& objectName, NodeId objectNode, bool explicitLoad)
{
    DatabaseEntryPtr entry = m_databases.FindEntryByNode(tree().parent(objectNode));
    if (!entry)
        return;
    JobPtr job = makeJob(entry, false, explicitLoad);
    job->load.objectName = objectName;
    job->load.objectNode = toCatalogNode(objectNode);
    m_jobs.addJob(job);
    if (entry->inUse->load() != 0) {
        log(QStringLiteral("Could not refresh table %1, the database %2 is in use by another thread.")
                .arg(objectName, entry->alias));
        return;
    }
    entry->inUse->store(1);
    const LogSettings& logSettings = m_runtime->logSettings;
    if (logSettings.LREF.load() != 0 || logSettings.LOBJ.load() != 0)
        log(entry->alias + QStringLiteral(": ") + objectName + QStringLiteral(": Refreshing object."));
    tree().DeleteChildNodes(objectNode);
    if (!startObjectWorker(job)) {
        m_prompt.showMessage(QStringLiteral("Could not start refresh thread for object %1").arg(objectName));
        log(QStringLiteral("Could not start refresh thread for object %1.").arg(objectName));
        entry->inUse->store(0);
    }
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
    if (!m_databases.empty()) {
        const bool stopped = WorkerWait::waitForStop([this] { return anyInUse(); },
                                                     [this](int ms) {
                                                         if (m_port)
                                                             m_port->pause(ms);
                                                         else
                                                             QThread::msleep(static_cast<unsigned long>(ms));
                                                     });
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
    if (!m_history.canGoBack())
        return;
    const NodeId node = m_history.takeBack(tree());
    if (node != 0 && !selectNode(node))
        m_history.backFailed();
    emit commandStateChanged();
}

void ExplorerHub::Forward()
{
    if (!m_history.canGoForward())
        return;
    const NodeId node = m_history.takeForward(tree());
    if (node != 0)
        selectNode(node);
    emit commandStateChanged();
}

void ExplorerHub::Up()
{
    const NodeId parent = tree().parent(selectedNode());
    if (parent != 0)
        selectNode(parent);
}

void ExplorerHub::GoToLocation(const QString& path)
{
    const LocationList::Target target = LocationList::SplitLocationPath(path);
    const NodeId root = tree().root();
    if (target.root) {
        selectNode(root);
        return;
    }
    const NodeId database = tree().FindChildByText(root, target.database);
    if (database == 0) {
        m_prompt.showMessage(QStringLiteral("Cannot find starting place, starting from root."));
        return;
    }
    if (target.object.isEmpty()) {
        selectNode(database);
        return;
    }
    const NodeId object = tree().FindChildByText(database, target.object);
    if (object == 0) {
        m_prompt.showMessage(QStringLiteral("Cannot find object in database, Please refresh this database."));
        selectNode(database);
        return;
    }
    const NodeId index = target.index.isEmpty() ? 0 : tree().FindChildByText(object, target.index);
    selectNode(index != 0 ? index : object);
}

bool ExplorerHub::SelectChildByText(const QString& text)
{
    const NodeId child = tree().FindChildByText(selectedNode(), text);
    return child != 0 && selectNode(child);
}

void ExplorerHub::showLocation(NodeId node)
{
    m_locations.record(LocationList::BuildLocationPath(tree(), node));
    if (m_port)
        m_port->showLocations(m_locations.paths());
}

// ---- selection ----

void ExplorerHub::OnSelectionChanged(NodeId node)
{
    if (node == 0 || !tree().exists(node))
        return;
    if (m_port)
        m_port->setBusyCursor(true);
    showLocation(node);
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
        bool stopped = false;
        const auto object =
            findObject(node, tree().NodeText(node),
                       QStringLiteral("Working thread terminated while showing object."), stopped);
        if (stopped)
            return;
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
    m_history.RecordVisit(node);
    const int level = tree().NodeLevel(node);
    if (level == 0) {
        m_port->fillList(listDatabases());
        emit commandStateChanged();
        return;
    }
    if (terminateRequested())
        return;
    ListFill fill;
    bool show = true;
    if (level == 1) {
        DatabaseEntryPtr entry = m_databases.FindEntryByNode(node);
        fill = entry ? listObjects(entry, node) : ListFill{};
    } else if (level == 2) {
        show = listObjectContents(node, fill);
    } else if (level == 3) {
        show = listIndexColumns(node, fill);
    }
    if (show)
        m_port->fillList(std::move(fill));
    emit commandStateChanged();
}

ListFill ExplorerHub::listDatabases()
{
    ListFill fill;
    if (!tree().hasChildren(tree().root())) {
        fill.rows.push_back({QStringLiteral("No databases have been selected"), 0, {}});
        return fill;
    }
    for (const DatabaseEntryPtr& entry : m_databases.entries()) {
        const CDbSession& session = *entry->session;
        fill.rows.push_back(
            {entry->alias, 1, {session.userName(), session.dbmsName(), session.dbmsVersion()}});
    }
    return fill;
}

ListFill ExplorerHub::listObjects(const DatabaseEntryPtr& entry, NodeId databaseNode)
{
    ListFill fill;
    if (!tree().hasChildren(databaseNode))
        return fill;
    const auto objects = entry->session->objects();
    fill.expectedRows = static_cast<int>(objects.size());
    fill.rows.reserve(objects.size());
    for (const auto& object : objects) {
        fill.rows.push_back({object->name(),
                             ObjectListImage(object->type()),
                             {object->type(), object->owner(), object->remarks()}});
    }
    std::weak_ptr<HubRuntime> weakRuntime = m_runtime;
    QPointer<ExplorerHub> hub(this);
    fill.stop = [weakRuntime, hub, databaseNode] {
        auto runtime = weakRuntime.lock();
        if (!runtime || !hub)
            return true;
        if (runtime->terminateRequested.load() != 0) {
            runtime->log.WriteLog(QStringLiteral("Working thread terminated while showing database."));
            return true;
        }
        return hub->selectedNode() != databaseNode;
    };
    return fill;
}

std::shared_ptr<ObjectRecord> ExplorerHub::findObject(NodeId objectNode, const QString& name,
                                                      const QString& stopLine, bool& stopped) const
{
    stopped = false;
    DatabaseEntryPtr entry = m_databases.FindEntryByNode(tree().parent(objectNode));
    if (!entry)
        return nullptr;
    for (const auto& object : entry->session->objects()) {
        if (terminateRequested()) {
            m_runtime->log.WriteLog(stopLine);
            stopped = true;
            return nullptr;
        }
        if (object->name() == name)
            return object;
    }
    return nullptr;
}

namespace {

std::function<bool()> terminateCheck(const std::shared_ptr<HubRuntime>& shared, const QString& line)
{
    std::weak_ptr<HubRuntime> weakRuntime = shared;
    return [weakRuntime, line] {
        auto runtime = weakRuntime.lock();
        if (!runtime)
            return true;
        if (runtime->terminateRequested.load() != 0) {
            runtime->log.WriteLog(line);
            return true;
        }
        return false;
    };
}

} // namespace

bool ExplorerHub::listObjectContents(NodeId objectNode, ListFill& fill)
{
    const QString stopLine = QStringLiteral("Working thread terminated while showing object.");
    bool stopped = false;
    const auto object = findObject(objectNode, tree().NodeText(objectNode), stopLine, stopped);
    if (stopped)
        return false;
    if (!object) {
        m_prompt.showMessage(QStringLiteral("Table not found, something is wrong"));
        return false;
    }
    if (const auto indexes = object->indexes()) {
        for (const IndexRecord& index : indexes->indexes)
            fill.rows.push_back({index.name, 4, {index.uniqueness, QStringLiteral("INDEX"), QString()}});
    }
    if (const auto columns = object->columns()) {
        for (const ColumnRecord& column : columns->columns)
            fill.rows.push_back({column.name, 3, {column.nullability, column.typeName, column.size}});
    }
    fill.stop = terminateCheck(m_runtime, stopLine);
    return true;
}

bool ExplorerHub::listIndexColumns(NodeId indexNode, ListFill& fill)
{
    const QString stopLine = QStringLiteral("Working thread terminated while showing index.");
    const NodeId objectNode = tree().parent(indexNode);
    bool stopped = false;
    const auto object = findObject(objectNode, tree().NodeText(objectNode), stopLine, stopped);
    if (stopped)
        return false;
    if (!object) {
        m_prompt.showMessage(QStringLiteral("Table not found, something is wrong"));
        return false;
    }
    const QString indexName = tree().NodeText(indexNode);
    const IndexRecord* found = nullptr;
    const auto indexes = object->indexes();
    if (indexes) {
        for (const IndexRecord& index : indexes->indexes) {
            if (terminateRequested()) {
                log(stopLine);
                return false;
            }
            if (index.name == indexName) {
                found = &index;
                break;
            }
        }
    }
    if (!found) {
        m_prompt.showMessage(QStringLiteral("Index not found, please refresh this database."));
        return false;
    }
    for (const QString& column : found->columnNames)
        fill.rows.push_back({column, 5, {}});
    fill.stop = terminateCheck(m_runtime, stopLine);
    return true;
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
    return anyInUse();
}

bool ExplorerHub::canBack() const
{
    return m_history.canGoBack();
}

bool ExplorerHub::canForward() const
{
    return m_history.canGoForward();
}

bool ExplorerHub::canUp() const
{
    return tree().parent(selectedNode()) != 0;
}

void ExplorerHub::runInterfacePosts()
{
    m_runtime->poster.runPending();
}

} // namespace velkaro

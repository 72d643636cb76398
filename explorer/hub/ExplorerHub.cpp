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
                {[this] { ShowSelection(); }, [this] { emit CommandStateChanged(); }}),
      m_navigation(m_runtime->tree, prompt),
      m_selectionList(m_runtime, m_databases, prompt, this, [this] { return SelectedNode(); }),
      m_find(*m_runtime, m_databases, prompt),
      m_findCommands(
          m_find, m_findHistory, m_runtime->tree, m_databases, store, prompt, [this] { return m_port; },
          [this](NodeId node) { return SelectNode(node); }),
      m_scheduler(m_runtime->refreshSettings, m_databases,
                  {[this](const DatabaseEntryPtr& entry) { RefreshDatabase(entry, false); },
                   [this] { SelectNode(Tree().Root()); }, [this](const QString& line) { Log(line); }}),
      m_idleWatcher(m_scheduler)
{
    m_startTime = now();
    m_runtime->terminateRequested.store(0);
    m_findHistory.Load(store);
    m_runtime->logSettings.Load(store);
    // The runtime may be released by the last worker; its strings share nothing with the store.
    m_runtime->logSettings.fileName = detached(m_runtime->logSettings.fileName);
    m_runtime->log.WriteLog(QStringLiteral("Velkaro started."), true);
    m_runtime->objectSettings.Load(store);
    m_runtime->lookupSettings.Load(store);
    m_runtime->refreshSettings.Load(store);

    m_runtime->poster.SetReceiver(this, "RunInterfacePosts");
    m_runtime->progress.SetDisplay([this](const QString& text) { emit LoadStatusChanged(text); });
    std::weak_ptr<HubRuntime> weakRuntime = m_runtime;
    m_runtime->tree.SetChangesPendingCallback([this, weakRuntime] {
        if (auto runtime = weakRuntime.lock())
            runtime->poster.Post([this] {
                if (m_port)
                    m_port->TreeChangesPending();
            });
    });
}

ExplorerHub::~ExplorerHub()
{
    Shutdown();
}

void ExplorerHub::SetPort(TreeViewPort* port)
{
    m_port = port;
    m_navigation.SetPort(port);
}

NodeId ExplorerHub::SelectedNode() const
{
    return m_port ? m_port->SelectedNode() : 0;
}

void ExplorerHub::Log(const QString& message)
{
    m_runtime->log.WriteLog(message);
}

void ExplorerHub::LogIf(const std::atomic<int>& category, const QString& message)
{
    m_runtime->LogIf(category, message);
}

bool ExplorerHub::SelectNode(NodeId node)
{
    return m_port && node != 0 && m_port->SelectNode(node);
}

void ExplorerHub::Pause(int ms)
{
    if (m_port)
        m_port->Pause(ms);
    else
        QThread::msleep(static_cast<unsigned long>(ms));
}

// ---- start-up and shutdown ----

void ExplorerHub::InsertRoot()
{
    const NodeId root = Tree().InsertRoot();
    // The root's own first selection neither loads nor fills; the database list is filled here.
    SelectNode(root);
    m_firstSelection = false;
    ShowSelection();
}

void ExplorerHub::ReconnectRecentDatabases()
{
    const QList<RecentDatabase> recent = RecentDatabases::Read(m_store);
    for (const RecentDatabase& database : recent) {
        auto session = std::make_shared<CDbSession>();
        session->SetLog(&m_runtime->log);
        session->ConnectByString(database.connectString, m_prompt);
        if (session->ConnectFailed()) {
            Log(QStringLiteral("Failed to reconnect to database %1 using connect string: %2")
                    .arg(database.alias, database.connectString));
            if (!session->LastError().isEmpty())
                Log(QStringLiteral("ERROR: ") + session->LastError());
            m_notReconnected.Add(database);
            continue;
        }
        // A database added under the same alias while this one was not connected keeps its own.
        const QString alias = m_databases.MakeUniqueAlias(database.alias);
        if (!AddDatabase(session, alias, true, true, database.ownerOnly))
            Log(kMaximumThreadsMessage);
        SelectNode(Tree().Root());
        ShowSelection();
    }
    if (!m_notReconnected.empty())
        m_prompt.ShowMessage(m_notReconnected.NotReconnectedMessage());
}

void ExplorerHub::BeginShutdown()
{
    m_runtime->terminateRequested.store(1);
}

void ExplorerHub::Shutdown()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    m_idleWatcher.Stop();
    HubRuntime& runtime = *m_runtime;
    LogIf(runtime.logSettings.LANY, QStringLiteral("Terminating working threads."));
    runtime.terminateRequested.store(1);
    if (m_port)
        m_port->ShowTerminateWait(true);
    // A removed database's worker and a property page's query are waited for as well.
    const auto anyBusy = [this] { return m_workers.AnyBusy() || m_workers.PropertyWorkRunning(); };
    if (!m_databases.empty() || anyBusy()) {
        const bool stopped = WorkerWait::WaitForShutdown(
            anyBusy, [this](int ms) { Pause(ms); },
            [this](int value) {
                if (m_port)
                    m_port->ShowTerminateCountdown(value);
            });
        if (!stopped)
            LogIf(runtime.logSettings.LANY,
                  QStringLiteral("Working threads not responding, quitting anyway."));
    }
    if (m_port)
        m_port->ShowTerminateWait(false);
    const bool logAll = runtime.logSettings.LANY.load() != 0;
    Log(logAll ? QStringLiteral("Releasing used memory.") : QStringLiteral("Velkaro terminated."));
    SaveRecentDatabases();
    m_workers.ReleaseAll();
    if (!m_findHistory.Save(m_store))
        m_prompt.ShowError(QStringLiteral("Could not save the find history."));
    m_findHistory.Strings().clear();
    if (logAll)
        Log(QStringLiteral("Velkaro terminated."));
    // A worker that does not return keeps the log alive past the program's end: its end line is
    // written now.
    runtime.log.Flush();
    // Workers still running keep the runtime alive; they no longer reach this object.
    runtime.poster.SetReceiver(nullptr);
    runtime.progress.SetDisplay({});
    runtime.tree.SetChangesPendingCallback({});
}

void ExplorerHub::SaveRecentDatabases()
{
    QList<RecentDatabase> reconnect;
    for (const DatabaseEntryPtr& entry : m_databases.Entries()) {
        // Copies that share no string data with a worker still holding the entry: the last
        // release then never pairs a worker's count with one inside the settings store.
        if (entry->reconnect)
            reconnect.append(
                {detached(entry->alias), entry->ownerOnly, detached(entry->session->ConnectString())});
    }
    reconnect.append(m_notReconnected.Databases());
    if (!RecentDatabases::Write(m_store, reconnect))
        m_prompt.ShowError(QStringLiteral("Could not save the databases to reconnect at the next start."));
    // A worker still running holds its own reference; the rest are disconnected here.
    m_databases.TakeAll();
}

// ---- database list ----

bool ExplorerHub::AddDatabase(std::shared_ptr<CDbSession> session, const QString& alias, bool reconnect,
                              bool quiet, bool ownerOnly)
{
    m_addingDatabase = true;
    if (!session || session->ConnectFailed()) {
        // Nothing was added, so nothing may keep later selections from loading on access.
        m_addingDatabase = false;
        return true;
    }
    auto entry = std::make_shared<DatabaseEntry>();
    entry->session = std::move(session);
    entry->session->SetLog(&m_runtime->log);
    entry->alias = alias.isEmpty() ? m_databases.MakeUniqueAlias(entry->session->DisplayName()) : alias;
    entry->reconnect = reconnect;
    entry->ownerOnly = ownerOnly;
    entry->lastRefreshed.store(now());
    LogIf(m_runtime->logSettings.LADD, entry->alias + QStringLiteral(": Loading database information."));
    if (m_port)
        m_port->SetBusyCursor(true);
    entry->node = Tree().InsertDatabaseNode(entry->alias);
    if (m_port)
        m_port->SetBusyCursor(false);
    m_databases.Append(entry);
    emit CommandStateChanged();

    if (m_runtime->lookupSettings.RAOBJ.load() == 1) {
        m_addingDatabase = false;
        const NodeId root = Tree().Root();
        if (SelectedNode() != root)
            SelectNode(root);
        else
            ShowSelection();
        return true;
    }
    if (!quiet)
        SelectNode(entry->node);
    const bool started = m_workers.StartLoad(entry, quiet);
    // A queued add ends the add as well, so later empty database nodes load on access again.
    m_addingDatabase = false;
    emit CommandStateChanged();
    return started;
}

void ExplorerHub::AddChosenDatabase(std::shared_ptr<CDbSession> session, const QString& alias, bool reconnect,
                                    bool ownerOnly)
{
    if (!AddDatabase(std::move(session), alias, reconnect, false, ownerOnly)) {
        Log(kMaximumThreadsMessage);
        m_prompt.ShowMessage(kMaximumThreadsMessage);
    }
}

void ExplorerHub::OnAddDatabase()
{
    if (!m_port)
        return;
    if (std::optional<ChosenDatabase> chosen = m_port->ChooseDatabase())
        AddChosenDatabase(std::move(chosen->session), chosen->alias, chosen->reconnect, chosen->ownerOnly);
}

void ExplorerHub::OnRemoveDatabase()
{
    if (!Tree().HasChildren(Tree().Root()) && m_notReconnected.empty()) {
        m_prompt.ShowMessage(QStringLiteral("There are no databases to remove"));
        return;
    }
    if (!m_port)
        return;
    QStringList aliases;
    for (const DatabaseEntryPtr& entry : m_databases.Entries())
        aliases.append(entry->alias);
    aliases.append(m_notReconnected.Names());
    const QString alias = m_port->ChooseDatabaseToRemove(aliases);
    if (!alias.isEmpty())
        RemoveDatabase(alias);
}

void ExplorerHub::RemoveDatabase(const QString& alias)
{
    const NodeId selectedBefore = SelectedNode();
    DatabaseEntryPtr entry = m_databases.FindEntryByAlias(alias);
    if (!entry && m_notReconnected.Remove(alias)) {
        LogIf(m_runtime->logSettings.LREM, alias + QStringLiteral(": Removing database."));
        return;
    }
    if (!entry) {
        m_prompt.ShowError(QStringLiteral("Could not delete database: %1").arg(alias));
        return;
    }
    if (entry->inUse->load() != 0 &&
        !m_prompt.AskYesNo(QStringLiteral("Velkaro is still retriving information for this database.\n"
                                          "Are you sure you want to remove it?")))
        return;
    HubRuntime& runtime = *m_runtime;
    LogIf(runtime.logSettings.LREM, alias + QStringLiteral(": Removing database."));
    const std::vector<NodeId> subtree = Tree().Subtree(entry->node);
    const bool logAll = runtime.logSettings.LANY.load() != 0;
    m_navigation.History().PurgeFromHistory(subtree, Tree(), [this, logAll](const QString& line) {
        if (logAll)
            Log(line);
    });
    // A worker still loading this database keeps the entry and its session until it ends.
    m_workers.ForgetDatabase(entry);
    m_databases.Remove(entry);
    Tree().RemoveNode(entry->node);
    entry.reset();
    emit CommandStateChanged();
    const NodeId root = Tree().Root();
    if (selectedBefore == root)
        ShowSelection();
    else
        SelectNode(root);
}

// ---- refresh ----

void ExplorerHub::ResetFindFor(NodeId databaseNode, const char* message)
{
    if (m_find.SearchString().isEmpty())
        return;
    if (databaseNode != 0 && m_find.SearchedDatabase() != databaseNode)
        return;
    m_find.ClearSearchString();
    LogIf(m_runtime->logSettings.LANY, QLatin1String(message));
}

void ExplorerHub::RefreshDatabase(const DatabaseEntryPtr& entry, bool foreground)
{
    HubRuntime& runtime = *m_runtime;
    if (entry->inUse->load() != 0) {
        Log(QStringLiteral("Could not refresh database %1, the database is in use by another thread.")
                .arg(entry->alias));
        return;
    }
    ResetFindFor(entry->node, "Find next has been reset as objects may have changed due to a refresh.");
    entry->inUse->store(1);
    LogIf(runtime.logSettings.LREF, entry->alias + QStringLiteral(": Refreshing database."));
    if (foreground) {
        SelectNode(entry->node);
    } else if (runtime.lookupSettings.RAOBJ.load() == 1 && !Tree().HasChildren(entry->node)) {
        entry->lastRefreshed.store(now());
        entry->inUse->store(0);
        return;
    }
    Tree().DeleteChildNodes(entry->node);
    entry->lastRefreshed.store(now());
    m_workers.StartRefresh(entry, foreground);
    emit CommandStateChanged();
}

void ExplorerHub::RefreshObject(NodeId objectNode, bool explicitLoad)
{
    DatabaseEntryPtr entry = m_databases.FindEntryByNode(Tree().Parent(objectNode));
    if (!entry || Tree().NodeLevel(objectNode) != 2)
        return;
    m_workers.StartObjectRefresh(entry, Tree().NodeObject(objectNode), objectNode, explicitLoad);
    emit CommandStateChanged();
}

void ExplorerHub::RefreshAll()
{
    ResetFindFor(0, "Find next as been reset as objects may have changed due to a refresh.");
    const NodeId root = Tree().Root();
    SelectNode(root);
    // Copied: a foreground refresh serves events, which may change the list.
    const std::vector<DatabaseEntryPtr> entries = m_databases.Entries();
    for (const DatabaseEntryPtr& entry : entries)
        RefreshDatabase(entry, false);
    SelectNode(root);
    emit CommandStateChanged();
}

void ExplorerHub::RefreshDb()
{
    const NodeId databaseNode = Tree().AncestorAtLevel(SelectedNode(), 1);
    DatabaseEntryPtr entry = databaseNode ? m_databases.FindEntryByNode(databaseNode) : nullptr;
    if (!entry) {
        m_prompt.ShowError(QStringLiteral("Could not find database to refresh"));
        return;
    }
    RefreshDatabase(entry, true);
}

void ExplorerHub::RefreshFromHere()
{
    const NodeId node = SelectedNode();
    switch (Tree().NodeLevel(node)) {
    case 0:
        RefreshAll();
        break;
    case 1:
        RefreshDb();
        break;
    case 2:
        RefreshObject(node, true);
        break;
    case 3:
        m_prompt.ShowMessage(QStringLiteral("Cannot refresh from this level"));
        break;
    default:
        break;
    }
}

void ExplorerHub::StopWorkers()
{
    if (m_port)
        m_port->SetBusyCursor(true);
    Log(QStringLiteral("Requesting termination of working threads..."));
    m_runtime->terminateRequested.store(1);
    // A removed database's worker is waited for as well.
    if (!m_databases.empty() || m_workers.AnyBusy()) {
        const bool stopped =
            WorkerWait::WaitForStop([this] { return m_workers.AnyBusy(); }, [this](int ms) { Pause(ms); });
        if (!stopped) {
            m_prompt.ShowMessage(QStringLiteral("Warning: Not all working threads could be stopped."));
            LogIf(m_runtime->logSettings.LANY, QStringLiteral("Working threads not responding."));
        }
    }
    m_runtime->terminateRequested.store(0);
    if (m_port)
        m_port->SetBusyCursor(false);
    emit CommandStateChanged();
}

// ---- navigation ----

void ExplorerHub::Back()
{
    m_navigation.Back();
    emit CommandStateChanged();
}

void ExplorerHub::Forward()
{
    m_navigation.Forward();
    emit CommandStateChanged();
}

void ExplorerHub::Up()
{
    m_navigation.Up();
}

void ExplorerHub::GoToLocation(const QString& path)
{
    m_navigation.GoToLocation(path);
}

// ---- find ----

void ExplorerHub::Find()
{
    m_findCommands.Find();
}

void ExplorerHub::RunFind(const FindRequest& request)
{
    m_findCommands.Run(request);
}

void ExplorerHub::FindNext()
{
    m_findCommands.FindNext();
}

bool ExplorerHub::SelectChildByText(const QString& text)
{
    return m_navigation.SelectChildByText(text);
}

// ---- selection ----

void ExplorerHub::OnSelectionChanged(NodeId node)
{
    if (node == 0 || !Tree().Exists(node))
        return;
    if (m_port)
        m_port->SetBusyCursor(true);
    m_navigation.ShowLocation(node);
    const int level = Tree().NodeLevel(node);
    if (m_port && level != m_port->ColumnSet())
        m_port->SwitchColumnSet(level);
    if (m_firstSelection) {
        m_firstSelection = false;
    } else {
        LoadOnAccess(node);
        ShowSelection();
    }
    if (m_port)
        m_port->SetBusyCursor(false);
    emit CommandStateChanged();
}

void ExplorerHub::LoadOnAccess(NodeId node)
{
    if (Tree().HasChildren(node))
        return;
    const int level = Tree().NodeLevel(node);
    if (level == 1 && !m_addingDatabase) {
        RefreshDb();
    } else if (level == 2) {
        if (TerminateRequested()) {
            Log(QStringLiteral("Working thread terminated while showing object."));
            return;
        }
        const auto object = m_selectionList.FindObject(node, QString());
        if (!object) {
            m_prompt.ShowError(QStringLiteral("Table not found, something is wrong"));
            return;
        }
        const auto columns = object->Columns();
        if (!columns || columns->columns.empty())
            RefreshObject(node, true);
    }
}

void ExplorerHub::ShowSelection()
{
    if (!m_port)
        return;
    const NodeId node = m_port->SelectedNode();
    if (node == 0 || !Tree().Exists(node))
        return;
    m_navigation.History().RecordVisit(node);
    const int level = Tree().NodeLevel(node);
    if (level != 0 && TerminateRequested())
        return;
    if (std::optional<ListFill> fill = m_selectionList.FillFor(node, level))
        m_port->FillList(std::move(*fill));
    emit CommandStateChanged();
}

// ---- command enabling ----

bool ExplorerHub::CanRefreshAll() const
{
    return Tree().HasChildren(Tree().Root());
}

bool ExplorerHub::CanRefreshDb() const
{
    const NodeId node = SelectedNode();
    return node != 0 && node != Tree().Root() && Tree().Exists(node);
}

bool ExplorerHub::CanRefreshFromHere() const
{
    const NodeId node = SelectedNode();
    switch (Tree().NodeLevel(node)) {
    case 0:
        return Tree().HasChildren(node);
    case 1:
    case 2:
        return true;
    default:
        return false;
    }
}

bool ExplorerHub::CanStop() const
{
    return m_workers.AnyBusy();
}

bool ExplorerHub::CanBack() const
{
    return m_navigation.CanBack();
}

bool ExplorerHub::CanForward() const
{
    return m_navigation.CanForward();
}

bool ExplorerHub::CanUp() const
{
    return m_navigation.CanUp();
}

void ExplorerHub::RunInterfacePosts()
{
    m_runtime->poster.RunPending();
}

} // namespace velkaro

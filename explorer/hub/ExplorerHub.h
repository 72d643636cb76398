#pragma once

#include "explorer/core/DatabaseEntry.h"
#include "explorer/core/DatabaseList.h"
#include "explorer/core/ExplorerJob.h"
#include "explorer/core/FindHistory.h"
#include "explorer/core/NodeTree.h"
#include "explorer/core/PendingReconnects.h"
#include "explorer/hub/DatabaseWorkers.h"
#include "explorer/hub/ExplorerNavigation.h"
#include "explorer/hub/FindCommands.h"
#include "explorer/hub/FindSearch.h"
#include "explorer/hub/HubRuntime.h"
#include "explorer/hub/IdleWatcher.h"
#include "explorer/hub/ListFill.h"
#include "explorer/hub/RefreshScheduler.h"
#include "explorer/hub/SelectionList.h"

#include <QObject>
#include <functional>
#include <memory>
#include <optional>

namespace velkaro {

class CDbSession;
class ProfileStore;
class TreeViewPort;
class UserPrompt;
struct FindRequest;

// The explorer's run-time state and its commands, composed of the database list, the workers
// (DatabaseWorkers), navigation (ExplorerNavigation) and the list pane's fills (SelectionList), with the
// start-up and shutdown steps of the tree pane. The main window runs every explorer command here and follows
// commandStateChanged for what is enabled. Lives on the interface thread; the tree pane widget
// owns it and implements TreeViewPort for it.
class ExplorerHub final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ExplorerHub)

public:
    using DatabaseLoad = DatabaseWorkers::DatabaseLoad;

    static const QString kMaximumThreadsMessage;

    // Reads the find history, the log settings (opening the log with "Velkaro started."), then
    // the object, lookup and refresh settings.
    ExplorerHub(ProfileStore& store, UserPrompt& prompt, QObject* parent = nullptr);
    ~ExplorerHub() override;

    void SetPort(TreeViewPort* port);

    void InsertRoot();
    void ReconnectRecentDatabases();
    void BeginShutdown();
    // The tree pane's teardown; runs once.
    void Shutdown();

    bool AddDatabase(std::shared_ptr<CDbSession> session, const QString& alias, bool reconnect, bool quiet,
                     bool ownerOnly);
    // The Add Database dialog's OK with a chosen data source.
    void AddChosenDatabase(std::shared_ptr<CDbSession> session, const QString& alias, bool reconnect,
                           bool ownerOnly);
    void RemoveDatabase(const QString& alias);
    // The Add and Remove Database commands: ask through the port, then add or remove.
    void OnAddDatabase();
    void OnRemoveDatabase();
    void RefreshDatabase(const DatabaseEntryPtr& entry, bool foreground);
    void RefreshObject(NodeId objectNode, bool explicitLoad);
    void RefreshAll();
    void RefreshDb();
    void RefreshFromHere();
    void StopWorkers();
    void Back();
    void Forward();
    void Up();
    void GoToLocation(const QString& path);
    // The Find command: the dialog, then RunFind with its answer.
    void Find();
    // What the Find dialog's buttons start: a new search, or Find Next.
    void RunFind(const FindRequest& request);
    void FindNext();

    void OnSelectionChanged(NodeId node);
    void ShowSelection();
    // What workers handed to the interface thread (see InterfacePoster).
    Q_INVOKABLE void RunInterfacePosts();
    bool SelectChildByText(const QString& text);

    bool CanRefreshAll() const;
    bool CanRefreshDb() const;
    bool CanRefreshFromHere() const;
    bool CanStop() const;
    bool CanBack() const;
    bool CanForward() const;
    bool CanUp() const;

    NodeTree& Tree() { return m_runtime->tree; }
    const NodeTree& Tree() const { return m_runtime->tree; }
    DatabaseList& Databases() { return m_databases; }
    JobQueue& Jobs() { return m_workers.Jobs(); }
    NavigationHistory& History() { return m_navigation.History(); }
    LocationList& Locations() { return m_navigation.Locations(); }
    FindHistory& GetFindHistory() { return m_findHistory; }
    FindSearch& GetFindSearch() { return m_find; }
    const PendingReconnects& NotReconnected() const { return m_notReconnected; }
    DatabaseWorkers& Workers() { return m_workers; }
    RefreshScheduler& Scheduler() { return m_scheduler; }
    ActivityLog& GetActivityLog() { return m_runtime->log; }
    LogSettings& GetLogSettings() { return m_runtime->logSettings; }
    ObjectSettings& GetObjectSettings() { return m_runtime->objectSettings; }
    LookupSettings& GetLookupSettings() { return m_runtime->lookupSettings; }
    RefreshSettings& GetRefreshSettings() { return m_runtime->refreshSettings; }
    CatalogHost& GetCatalogHost() { return m_runtime->host; }
    DatabaseCounters& GetDatabaseCounters() { return m_runtime->databaseCounters; }
    bool TerminateRequested() const { return m_runtime->terminateRequested.load() != 0; }
    // The same flag for a thread of its own (a report) that may outlive the hub.
    std::shared_ptr<const std::atomic<int>> TerminateFlag() const
    {
        return {m_runtime, &m_runtime->terminateRequested};
    }
    bool AddingDatabase() const { return m_addingDatabase; }
    qint64 StartTime() const { return m_startTime; }
    NodeId SelectedNode() const;

    // See DatabaseWorkers::setDatabaseLoad.
    void SetDatabaseLoad(DatabaseLoad load) { m_workers.SetDatabaseLoad(std::move(load)); }

signals:
    // Anything a command's enabling depends on may have changed.
    void CommandStateChanged();
    // What the status bar shows of the running loads; empty when none runs.
    void LoadStatusChanged(const QString& text);

private:
    void Pause(int ms);
    bool SelectNode(NodeId node);
    void LoadOnAccess(NodeId node);
    void ResetFindFor(NodeId databaseNode, const char* message);
    void SaveRecentDatabases();
    void Log(const QString& message);
    void LogIf(const std::atomic<int>& category, const QString& message);

    ProfileStore& m_store;
    UserPrompt& m_prompt;
    std::shared_ptr<HubRuntime> m_runtime;
    TreeViewPort* m_port = nullptr;
    DatabaseList m_databases;
    DatabaseWorkers m_workers;
    ExplorerNavigation m_navigation;
    SelectionList m_selectionList;
    FindHistory m_findHistory;
    FindSearch m_find;
    FindCommands m_findCommands;
    PendingReconnects m_notReconnected;
    RefreshScheduler m_scheduler;
    IdleWatcher m_idleWatcher;
    qint64 m_startTime = 0;
    bool m_firstSelection = true;
    bool m_addingDatabase = false;
    bool m_shutDown = false;
};

} // namespace velkaro

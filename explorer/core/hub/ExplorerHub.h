#pragma once

#include "explorer/core/DatabaseEntry.h"
#include "explorer/core/DatabaseList.h"
#include "explorer/core/ExplorerJob.h"
#include "explorer/core/FindHistory.h"
#include "explorer/core/JobQueue.h"
#include "explorer/core/LocationList.h"
#include "explorer/core/NavigationHistory.h"
#include "explorer/core/NodeTree.h"
#include "explorer/core/WorkerThreads.h"
#include "explorer/core/hub/HubRuntime.h"
#include "explorer/core/hub/ListFill.h"

#include <QObject>
#include <functional>
#include <memory>

namespace velkaro {

class CDbSession;
class ProfileStore;
class TreeViewPort;
class UserPrompt;

// The explorer's run-time state and commands: the database list, the workers and their queue,
// navigation, and the start-up and shutdown steps of the tree pane. Lives on the interface
// thread; the tree pane widget owns it and implements TreeViewPort for it.
class ExplorerHub final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ExplorerHub)

public:
    using JobPtr = std::shared_ptr<ExplorerJob>;
    // Runs a database job's load on whatever thread it is given.
    using DatabaseLoad = std::function<void(ExplorerJob& job)>;

    static const QString kMaximumThreadsMessage;

    // Reads the find history, the log settings (opening the log with "Velkaro started."), then
    // the object, lookup and refresh settings.
    ExplorerHub(ProfileStore& store, UserPrompt& prompt, QObject* parent = nullptr);
    ~ExplorerHub() override;

    void setPort(TreeViewPort* port);

    void InsertRoot();
    void ReconnectRecentDatabases();
    void beginShutdown();
    // The tree pane's teardown; runs once.
    void shutdown();

    bool AddDatabase(std::shared_ptr<CDbSession> session, const QString& alias, bool reconnect, bool quiet,
                     bool ownerOnly);
    // The Add Database dialog's OK with a chosen data source.
    void AddChosenDatabase(std::shared_ptr<CDbSession> session, const QString& alias, bool reconnect,
                           bool ownerOnly);
    void RemoveDatabase(const QString& alias);
    void RefreshDatabase(const DatabaseEntryPtr& entry, bool foreground);
    void RefreshObject(const QString& objectName, NodeId objectNode, bool explicitLoad);
    void RefreshAll();
    void RefreshDb();
    void RefreshFromHere();
    void StopWorkers();
    void Back();
    void Forward();
    void Up();
    void GoToLocation(const QString& path);

    void OnSelectionChanged(NodeId node);
    void ShowSelection();
    // What workers handed to the interface thread (see InterfacePoster).
    Q_INVOKABLE void runInterfacePosts();
    bool SelectChildByText(const QString& text);

    bool canRefreshAll() const;
    bool canRefreshDb() const;
    bool canRefreshFromHere() const;
    bool canStop() const;
    bool canBack() const;
    bool canForward() const;
    bool canUp() const;

    NodeTree& tree() { return m_runtime->tree; }
    const NodeTree& tree() const { return m_runtime->tree; }
    DatabaseList& databases() { return m_databases; }
    JobQueue& jobs() { return m_jobs; }
    NavigationHistory& history() { return m_history; }
    LocationList& locations() { return m_locations; }
    FindHistory& findHistory() { return m_findHistory; }
    WorkerThreads& workers() { return m_workers; }
    ActivityLog& activityLog() { return m_runtime->log; }
    LogSettings& logSettings() { return m_runtime->logSettings; }
    ObjectSettings& objectSettings() { return m_runtime->objectSettings; }
    LookupSettings& lookupSettings() { return m_runtime->lookupSettings; }
    RefreshSettings& refreshSettings() { return m_runtime->refreshSettings; }
    CatalogHost& catalogHost() { return m_runtime->host; }
    bool terminateRequested() const { return m_runtime->terminateRequested.load() != 0; }
    bool addingDatabase() const { return m_addingDatabase; }
    qint64 startTime() const { return m_startTime; }
    NodeId selectedNode() const;

    // Replaces the catalog load a database worker runs (tests use it for a worker that never
    // reacts to a stop request); empty restores the real one.
    void setDatabaseLoad(DatabaseLoad load);

signals:
    void commandStateChanged();

private:
    JobPtr makeJob(const DatabaseEntryPtr& entry, bool quiet, bool explicitLoad);
    bool startDatabaseWorker(const JobPtr& job);
    bool startObjectWorker(const JobPtr& job);
    void startQueuedJob(const JobPtr& job);
    int busyOthers(const DatabaseEntry& entry) const;
    bool anyInUse() const;
    bool selectNode(NodeId node);
    void showLocation(NodeId node);
    void loadOnAccess(NodeId node);
    void resetFindFor(NodeId databaseNode, const char* message);
    void SaveRecentDatabases();
    void log(const QString& message);
    void logIf(const std::atomic<int>& category, const QString& message);

    ListFill listDatabases();
    ListFill listObjects(const DatabaseEntryPtr& entry, NodeId databaseNode);
    bool listObjectContents(NodeId objectNode, ListFill& fill);
    bool listIndexColumns(NodeId indexNode, ListFill& fill);
    std::shared_ptr<ObjectRecord> findObject(NodeId objectNode, const QString& name, const QString& stopLine,
                                             bool& stopped) const;

    ProfileStore& m_store;
    UserPrompt& m_prompt;
    std::shared_ptr<HubRuntime> m_runtime;
    TreeViewPort* m_port = nullptr;
    DatabaseList m_databases;
    JobQueue m_jobs;
    NavigationHistory m_history;
    LocationList m_locations;
    FindHistory m_findHistory;
    WorkerThreads m_workers;
    DatabaseLoad m_databaseLoad;
    qint64 m_startTime = 0;
    bool m_firstSelection = true;
    bool m_addingDatabase = false;
    bool m_shutDown = false;
};

} // namespace velkaro

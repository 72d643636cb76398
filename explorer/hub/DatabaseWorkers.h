#pragma once

#include "explorer/core/DatabaseList.h"
#include "explorer/core/ExplorerJob.h"
#include "explorer/core/JobQueue.h"
#include "explorer/core/WorkerThreads.h"
#include "explorer/hub/HubRuntime.h"

#include <functional>
#include <memory>
#include <vector>

namespace velkaro {

class ObjectRecord;
class UserPrompt;

// The job list, the refresh queue and the worker threads of the explorer's databases. Makes the
// jobs and starts them. Every job lets go of its database entry on every way out (run to its end,
// refused, skipped or dropped by the queue, no thread), so a removed database disconnects as soon
// as nothing works on it any more. Interface thread only; workers reach it through the poster.
class DatabaseWorkers final
{
public:
    using JobPtr = std::shared_ptr<ExplorerJob>;
    // Runs a database job's load on whatever thread it is given.
    using DatabaseLoad = std::function<void(ExplorerJob& job)>;
    // Runs an object job's load of the object's columns and indexes.
    using ObjectLoad = std::function<void(ExplorerJob& job, ObjectRecord& object)>;

    // What a worker asks of the interface thread; called there, through the poster.
    struct Hooks
    {
        std::function<void()> showSelection;
        std::function<void()> stateChanged;
    };

    // Logged (and shown, unless the load was quiet) when a load ends on a lost connection.
    static QString LoadFailedMessage(const QString& alias);
    // Logged when Stop (or the end of the run) cuts a load short.
    static QString LoadStoppedMessage(const QString& alias);

    DatabaseWorkers(std::shared_ptr<HubRuntime> runtime, const DatabaseList& databases, UserPrompt& prompt,
                    Hooks hooks);
    DatabaseWorkers(const DatabaseWorkers&) = delete;
    DatabaseWorkers& operator=(const DatabaseWorkers&) = delete;

    // A new database's load: started when a slot is free, else queued (false).
    bool StartLoad(const DatabaseEntryPtr& entry, bool quiet);
    // A refresh of entry, which the caller has marked in use: started when a slot is free, run
    // here when foreground, else queued. The entry is no longer marked on return unless a worker
    // took it.
    void StartRefresh(const DatabaseEntryPtr& entry, bool foreground);
    // One object's columns and indexes; refused while the database is in use.
    void StartObjectRefresh(const DatabaseEntryPtr& entry, const ObjectName& object, NodeId objectNode,
                            bool explicitLoad);
    // The database is leaving the list: its queued jobs go, a running worker still counts.
    void ForgetDatabase(const DatabaseEntryPtr& entry);

    // A property page's query on a thread of its own, counted apart from the database workers so
    // that shutdown waits for it too. What the query returns runs on the interface thread
    // afterwards (nothing runs once the hub is shut down). False when no thread could be started.
    using PropertyWork = std::function<std::function<void()>()>;
    bool StartPropertyWork(PropertyWork work);
    bool PropertyWorkRunning() const { return m_propertyThreads.LiveCount() > 0; }
    WorkerThreads& PropertyThreads() { return m_propertyThreads; }

    // Databases in use, removed ones whose worker still runs included.
    int BusyCount() const;
    bool AnyBusy() const { return BusyCount() > 0; }
    // Shutdown: empties the job list and the queue.
    void ReleaseAll();

    // Replaces the catalog load a database worker runs (tests use it for a worker that never
    // reacts to a stop request); empty restores the real one.
    void SetDatabaseLoad(DatabaseLoad load) { m_databaseLoad = std::move(load); }
    // The same for the load an object worker runs.
    void SetObjectLoad(ObjectLoad load) { m_objectLoad = std::move(load); }
    JobQueue& Jobs() { return m_jobs; }
    WorkerThreads& Threads() { return m_threads; }

private:
    JobPtr MakeJob(const DatabaseEntryPtr& entry, bool quiet, bool explicitLoad);
    bool LaunchDatabaseWorker(const JobPtr& job);
    bool LaunchObjectWorker(const JobPtr& job);
    bool Launch(const JobPtr& job, std::function<void(ExplorerJob&, HubRuntime&)> body);
    void StartQueuedJob(const JobPtr& job);
    void ReportNoThread(const QString& what, const QString& name);
    void Post(std::function<void()> call);

    std::shared_ptr<HubRuntime> m_runtime;
    const DatabaseList& m_databases;
    UserPrompt& m_prompt;
    Hooks m_hooks;
    JobQueue m_jobs;
    WorkerThreads m_threads;
    WorkerThreads m_propertyThreads;
    DatabaseLoad m_databaseLoad;
    ObjectLoad m_objectLoad;
    // In-use flags of removed databases whose worker had not ended yet.
    mutable std::vector<std::shared_ptr<std::atomic<int>>> m_removedInUse;
};

} // namespace velkaro

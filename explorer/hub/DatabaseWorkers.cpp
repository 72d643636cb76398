#include "explorer/hub/DatabaseWorkers.h"

#include "catalog/CDbSession.h"
#include "common/OdbcSuccess.h"
#include "common/UserPrompt.h"

#include <QDateTime>
#include <QScopeGuard>
#include <algorithm>
#include <sql.h>
#include <sqlext.h>

namespace velkaro {

QString DatabaseWorkers::LoadFailedMessage(const QString& alias)
{
    return alias +
           QStringLiteral(": Database information could not be loaded, the connection has been lost.");
}

QString DatabaseWorkers::LoadStoppedMessage(const QString& alias)
{
    return alias + QStringLiteral(": Database information is incomplete, loading was stopped.");
}

namespace {

enum class LoadEnd
{
    Loaded,
    Stopped,
    ConnectionLost
};

qint64 now()
{
    return QDateTime::currentSecsSinceEpoch();
}

// The driver's own view: a load cut short by a lost connection ends like a complete one.
bool connectionLost(SQLHDBC connection)
{
    SQLUINTEGER dead = SQL_CD_FALSE;
    const SQLRETURN result = SQLGetConnectAttr(connection, SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr);
    return IsSuccess(result) && dead == SQL_CD_TRUE;
}

// A finished, refused or dropped job lets go of its database and of the runtime.
void releaseJob(ExplorerJob& job)
{
    job.entry.reset();
    job.keepAlive.reset();
}

// Database worker steps 2 to 5; the entry is already marked in use.
LoadEnd runDatabaseLoad(ExplorerJob& job, HubRuntime& runtime, const DatabaseWorkers::DatabaseLoad& load)
{
    DatabaseEntry& entry = *job.entry;
    entry.inUse->store(1);
    runtime.progress.Begin(entry.node, entry.alias);
    if (load)
        load(job);
    else
        entry.session->LoadObjects(job.load);
    entry.lastRefreshed.store(now());
    LoadEnd end = LoadEnd::Loaded;
    if (connectionLost(entry.session->Hdbc())) {
        runtime.log.WriteLog(DatabaseWorkers::LoadFailedMessage(entry.alias));
        end = LoadEnd::ConnectionLost;
    } else if (runtime.terminateRequested.load() != 0) {
        runtime.log.WriteLog(DatabaseWorkers::LoadStoppedMessage(entry.alias));
        end = LoadEnd::Stopped;
    } else {
        runtime.LogIf(runtime.logSettings.LADD,
                      entry.alias + QStringLiteral(": Database information loaded."));
    }
    // Part of the catalog shown as if it were all of it would mislead; the emptied node loads
    // again when it is next selected.
    if (end != LoadEnd::Loaded)
        runtime.tree.DeleteChildNodes(entry.node);
    runtime.progress.End(entry.node);
    entry.inUse->store(0);
    return end;
}

// Returns false when the connection was lost on the way. Then, and when Stop cut the refresh
// short, the object's details and index nodes are gone again, as a partial list would pass for the
// whole; the object loads them anew when next selected.
bool runObjectLoad(ExplorerJob& job, HubRuntime& runtime, const DatabaseWorkers::ObjectLoad& load,
                   const std::function<void()>& showSelection)
{
    DatabaseEntry& entry = *job.entry;
    entry.inUse->store(1);
    auto clearInUse = qScopeGuard([&entry] { entry.inUse->store(0); });
    std::shared_ptr<ObjectRecord> object;
    for (const auto& candidate : entry.session->Objects()) {
        if (runtime.terminateRequested.load() != 0)
            return true;
        if (candidate->GetObjectName().SameObject(job.load.object)) {
            object = candidate;
            break;
        }
    }
    if (!object) {
        runtime.log.WriteLog(QStringLiteral("Could not refresh object %1.").arg(job.load.object.name));
        return true;
    }
    if (object->Type() == QLatin1String("SEQUENCE"))
        return true;
    if (load) {
        load(job, *object);
    } else {
        entry.session->LoadColumns(job.load, job.load.objectNode, *object);
        if (runtime.terminateRequested.load() == 0)
            entry.session->LoadIndexes(job.load, job.load.objectNode, *object);
    }
    const bool lost = connectionLost(entry.session->Hdbc());
    if (lost || runtime.terminateRequested.load() != 0) {
        runtime.tree.DeleteChildNodes(toNodeId(job.load.objectNode));
        object->ClearDetails();
        runtime.log.WriteLog(lost ? DatabaseWorkers::LoadFailedMessage(entry.alias)
                                  : DatabaseWorkers::LoadStoppedMessage(entry.alias));
        return !lost;
    }
    showSelection();
    return true;
}

} // namespace

DatabaseWorkers::DatabaseWorkers(std::shared_ptr<HubRuntime> runtime, const DatabaseList& databases,
                                 UserPrompt& prompt, Hooks hooks)
    : m_runtime(std::move(runtime)), m_databases(databases), m_prompt(prompt), m_hooks(std::move(hooks))
{
    m_jobs.SetDrainHooks([this] { return BusyCount(); },
                         // No queued job starts while a stop request is being served.
                         [this] {
                             return m_runtime->terminateRequested.load() != 0
                                        ? 0
                                        : m_runtime->lookupSettings.MaxM.load();
                         },
                         [this](JobPtr job) { StartQueuedJob(job); },
                         [this](const QString& line) { m_runtime->log.WriteLog(line); });
}

DatabaseWorkers::JobPtr DatabaseWorkers::MakeJob(const DatabaseEntryPtr& entry, bool quiet, bool explicitLoad)
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
    m_jobs.AddJob(job);
    return job;
}

void DatabaseWorkers::Post(std::function<void()> call)
{
    m_runtime->poster.Post(std::move(call));
}

bool DatabaseWorkers::Launch(const JobPtr& job, std::function<void(ExplorerJob&, HubRuntime&)> body)
{
    const bool started =
        m_threads.Start([job = JobPtr(job), runtime = m_runtime, body = std::move(body)]() mutable {
            body(*job, *runtime);
            releaseJob(*job);
            // The job (entry, session) goes before the runtime its session logs to.
            job.reset();
            runtime.reset();
        });
    if (!started)
        releaseJob(*job);
    return started;
}

bool DatabaseWorkers::LaunchDatabaseWorker(const JobPtr& job)
{
    const std::shared_ptr<std::atomic<int>> inUse = job->load.inUse;
    // Marked before the thread runs, so the slot count already includes it.
    inUse->store(1);
    // The worker reaches this object only through the poster, which forgets it at shutdown.
    const bool started =
        Launch(job, [this, load = m_databaseLoad](ExplorerJob& running, HubRuntime& runtime) {
            const bool quiet = running.load.quiet;
            const QString alias = running.load.alias;
            const LoadEnd end = runDatabaseLoad(running, runtime, load);
            if (end == LoadEnd::ConnectionLost && !quiet)
                runtime.poster.Post([this, alias] { m_prompt.ShowError(LoadFailedMessage(alias)); });
            if (!quiet)
                runtime.poster.Post([this] { m_hooks.showSelection(); });
            runtime.poster.Post([this] { m_hooks.stateChanged(); });
        });
    if (!started)
        inUse->store(0);
    return started;
}

bool DatabaseWorkers::LaunchObjectWorker(const JobPtr& job)
{
    return Launch(job, [this, load = m_objectLoad](ExplorerJob& running, HubRuntime& runtime) {
        const QString alias = running.load.alias;
        const bool connected = runObjectLoad(running, runtime, load, [this, &runtime] {
            runtime.poster.Post([this] { m_hooks.showSelection(); });
        });
        if (!connected)
            runtime.poster.Post([this, alias] { m_prompt.ShowError(LoadFailedMessage(alias)); });
        runtime.poster.Post([this] { m_hooks.stateChanged(); });
    });
}

void DatabaseWorkers::ReportNoThread(const QString& what, const QString& name)
{
    const QString line = QStringLiteral("Could not start refresh thread for %1 %2").arg(what, name);
    m_prompt.ShowError(line);
    m_runtime->log.WriteLog(line + QLatin1Char('.'));
}

bool DatabaseWorkers::StartLoad(const DatabaseEntryPtr& entry, bool quiet)
{
    JobPtr job = MakeJob(entry, quiet, false);
    if (BusyCount() < m_runtime->lookupSettings.MaxM.load()) {
        if (!LaunchDatabaseWorker(job))
            ReportNoThread(QStringLiteral("database"), entry->alias);
        return true;
    }
    if (!m_jobs.EnqueueJob(job))
        releaseJob(*job);
    return false;
}

void DatabaseWorkers::StartRefresh(const DatabaseEntryPtr& entry, bool foreground)
{
    JobPtr job = MakeJob(entry, !foreground, false);
    auto release = qScopeGuard([&job] { releaseJob(*job); });
    const int busyOthers = BusyCount() - (entry->inUse->load() != 0 ? 1 : 0);
    if (busyOthers < m_runtime->lookupSettings.MaxM.load()) {
        release.dismiss(); // a worker that does not start lets go itself
        if (LaunchDatabaseWorker(job))
            return; // the worker clears the flag when it ends
        ReportNoThread(QStringLiteral("database"), entry->alias);
    } else if (foreground) {
        m_runtime->log.WriteLog(
            QStringLiteral(
                "Database %1 is being refreshed in the foreground, to avoid this in the future you "
                "should increase the maximum number of threads in the Object Lookup settings.")
                .arg(entry->alias));
        const LoadEnd end = runDatabaseLoad(*job, *m_runtime, m_databaseLoad);
        if (end == LoadEnd::ConnectionLost)
            m_prompt.ShowError(LoadFailedMessage(entry->alias));
        if (end != LoadEnd::Stopped)
            m_hooks.showSelection();
    } else if (m_jobs.EnqueueJob(job)) {
        release.dismiss();
        m_runtime->log.WriteLog(QStringLiteral("Database %1 has been queued for refresh.").arg(entry->alias));
    }
    entry->inUse->store(0);
}

void DatabaseWorkers::StartObjectRefresh(const DatabaseEntryPtr& entry, const ObjectName& object,
                                         NodeId objectNode, bool explicitLoad)
{
    const QString& objectName = object.name;
    JobPtr job = MakeJob(entry, false, explicitLoad);
    job->load.object = object;
    job->load.objectNode = toCatalogNode(objectNode);
    if (entry->inUse->load() != 0) {
        m_runtime->log.WriteLog(
            QStringLiteral("Could not refresh table %1, the database %2 is in use by another thread.")
                .arg(objectName, entry->alias));
        releaseJob(*job);
        return;
    }
    entry->inUse->store(1);
    const LogSettings& logSettings = m_runtime->logSettings;
    if (logSettings.LREF.load() != 0 || logSettings.LOBJ.load() != 0)
        m_runtime->log.WriteLog(entry->alias + QStringLiteral(": ") + objectName +
                                QStringLiteral(": Refreshing object."));
    m_runtime->tree.DeleteChildNodes(objectNode);
    if (!LaunchObjectWorker(job)) {
        ReportNoThread(QStringLiteral("object"), objectName);
        entry->inUse->store(0);
    }
}

void DatabaseWorkers::StartQueuedJob(const JobPtr& job)
{
    auto release = qScopeGuard([&job] { releaseJob(*job); });
    const DatabaseEntryPtr entry = job->entry;
    const auto& entries = m_databases.Entries();
    if (std::find(entries.begin(), entries.end(), entry) == entries.end())
        return; // removed while it waited
    if (entry->inUse->load() != 0) {
        // Two threads on one connection would corrupt its model; the refresh is refused as a
        // direct request for a busy database is.
        m_runtime->log.WriteLog(
            QStringLiteral("Could not refresh database %1, the database is in use by another thread.")
                .arg(entry->alias));
        return;
    }
    release.dismiss();
    if (!LaunchDatabaseWorker(job))
        ReportNoThread(QStringLiteral("database"), entry->alias);
    m_hooks.stateChanged();
}

void DatabaseWorkers::ForgetDatabase(const DatabaseEntryPtr& entry)
{
    for (const JobPtr& dropped : m_jobs.DropJobsFor(*entry))
        releaseJob(*dropped);
    if (entry->inUse->load() != 0)
        m_removedInUse.push_back(entry->inUse);
}

bool DatabaseWorkers::StartPropertyWork(PropertyWork work)
{
    // The runtime stays alive for the poster the result goes through.
    return m_propertyThreads.Start([runtime = m_runtime, work = std::move(work)]() mutable {
        runtime->poster.Post(work());
        work = nullptr;
        runtime.reset();
    });
}

int DatabaseWorkers::BusyCount() const
{
    std::erase_if(m_removedInUse, [](const auto& inUse) { return inUse->load() == 0; });
    return m_databases.CountBusyDatabases() + static_cast<int>(m_removedInUse.size());
}

void DatabaseWorkers::ReleaseAll()
{
    m_jobs.ReleaseAll();
}

} // namespace velkaro

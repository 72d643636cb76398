#pragma once

#include "search/engine/SearchParameters.h"

#include <QStringList>
#include <atomic>
#include <memory>
#include <thread>

namespace velkaro {

class CDbSession;
class ReportWriter;
class SearchHost;
class RunFlags;
class RunTitle;
class RunContext;
class RunCoverage;

// One run over one connected session (SessionVariant::Search): the object phase, the column and
// type phase, the index phase and the data phase, then the summary. The parameters are copied at
// construction; the session, the writer and the host must outlive the run. While the run works,
// the session belongs to it alone.
class SearchRun final
{
public:
    SearchRun(CDbSession& session, const SearchParameters& parameters, ReportWriter& writer,
              SearchHost& host);
    ~SearchRun(); // stops and joins a worker still running
    SearchRun(const SearchRun&) = delete;
    SearchRun& operator=(const SearchRun&) = delete;

    void Start();     // the run on a new worker thread
    void RunSearch(); // the whole run on the calling thread (batch tool, tests)
    void Wait();      // joins the worker

    // From any thread. stop() is the confirmed Stop: the question is the caller's.
    void Pause();
    void Resume();
    void Skip();
    void Stop();
    bool IsRunning() const;
    bool IsPaused() const;
    bool InDataPhase() const;
    int InstancesFound() const; // the report's instance count at the end
    // What the last run read and left unsearched; read it once the run has ended.
    const RunCoverage& Coverage() const { return *m_coverage; }

    // Which objects take part: empty = all the catalog lists (the Advanced "Objects" selection
    // otherwise). A name is an object name, or owner + "." + name.
    void SetObjectFilter(const QStringList& names);
    // The session's object list was read beforehand (the Advanced sheet) and its excluded flags
    // are the selection: the run does not read it again.
    void SetObjectsLoaded(bool loaded);

    // "%02i:%02i:%02i" of hours, minutes and seconds.
    static QString ElapsedTime(qint64 seconds);

private:
    void Run();
    void RunPhases();
    void SearchData(RunContext& run);
    void WriteHeader();
    void RunCatalogPhases(RunContext& run);
    void WriteSummary(qint64 elapsedSeconds);
    void PerformStop();
    void ReportFailure(const QString& what);

    CDbSession& m_session;
    const SearchParameters m_parameters;
    ReportWriter& m_writer;
    SearchHost& m_host;
    std::unique_ptr<RunFlags> m_flags;
    std::unique_ptr<RunTitle> m_title;
    std::unique_ptr<RunCoverage> m_coverage;
    QStringList m_objectFilter;
    bool m_objectsLoaded = false;
    std::atomic<int> m_instancesFound{0};
    std::thread m_worker;
};

} // namespace velkaro

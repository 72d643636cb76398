#include "search/engine/SearchRun.h"

#include "catalog/CDbSession.h"
#include "catalog/SystemSchemas.h"
#include "search/engine/ColumnSearch.h"
#include "search/engine/DataSearch.h"
#include "search/engine/IndexSearch.h"
#include "search/engine/ObjectNameSearch.h"
#include "search/engine/ReportWriter.h"
#include "search/engine/RunContext.h"
#include "search/engine/RunCoverage.h"
#include "search/engine/RunFlags.h"
#include "search/engine/RunPrompt.h"
#include "search/engine/RunTitle.h"
#include "search/engine/SearchHost.h"

#include <QDateTime>
#include <exception>

namespace velkaro {

namespace {

QString stateTitle(const char* state)
{
    return RunTitle::Of(QString::fromLatin1(state));
}

} // namespace

SearchRun::SearchRun(CDbSession& session, const SearchParameters& parameters, ReportWriter& writer,
                     SearchHost& host)
    : m_session(session), m_parameters(parameters), m_writer(writer), m_host(host),
      m_flags(std::make_unique<RunFlags>()), m_title(std::make_unique<RunTitle>(host)),
      m_coverage(std::make_unique<RunCoverage>())
{}

SearchRun::~SearchRun()
{
    Stop();
    Wait();
}

void SearchRun::Start()
{
    if (m_flags->IsRunning())
        return;
    Wait();
    m_flags->begin();
    m_session.GetStatementCancel().begin();
    m_title->Set(stateTitle("Retrieving Database Information"));
    m_host.CommandStateChanged();
    m_worker = std::thread([this] { Run(); });
}

void SearchRun::RunSearch()
{
    if (m_flags->IsRunning())
        return;
    m_flags->begin();
    m_session.GetStatementCancel().begin();
    m_host.CommandStateChanged();
    Run();
}

// The flags are raised by the caller, so a stop that comes before this thread starts is kept.
void SearchRun::Run()
{
    // A catalog message of the worker must not open a window on this thread, nor hold a Stop.
    RunPrompt prompt(m_host, *m_flags);
    UserPrompt* const sessionPrompt = m_session.Prompt();
    m_session.SetPrompt(&prompt);
    try {
        RunPhases();
    } catch (const RunStopped&) {
        PerformStop();
    } catch (const std::exception& error) {
        ReportFailure(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        ReportFailure(QStringLiteral("unknown error"));
    }
    m_session.SetPrompt(sessionPrompt);
    m_session.GetStatementCancel().end();
    m_flags->Finish();
    m_host.CommandStateChanged();
    m_host.RunEnded();
}

void SearchRun::Wait()
{
    if (m_worker.joinable())
        m_worker.join();
}

void SearchRun::Pause()
{
    if (!m_flags->IsRunning())
        return;
    if (m_title->Pause())
        m_flags->Pause();
    m_host.CommandStateChanged();
}

void SearchRun::Resume()
{
    m_title->Resume();
    m_flags->Resume();
    m_host.CommandStateChanged();
}

// The object being read is left at once, also when the driver is waiting on the server.
void SearchRun::Skip()
{
    m_flags->RequestSkip();
    if (m_flags->InDataPhase())
        m_session.GetStatementCancel().Cancel();
}

void SearchRun::Stop()
{
    m_flags->RequestStop();
    m_session.GetStatementCancel().Stop();
}

bool SearchRun::IsRunning() const
{
    return m_flags->IsRunning();
}

// A pause that came as the run ended leaves nothing to resume.
bool SearchRun::IsPaused() const
{
    return m_flags->IsRunning() && m_flags->IsPaused();
}

bool SearchRun::InDataPhase() const
{
    return m_flags->InDataPhase();
}

int SearchRun::InstancesFound() const
{
    return m_instancesFound;
}

void SearchRun::SetObjectFilter(const QStringList& names)
{
    m_objectFilter = names;
}

void SearchRun::SetObjectsLoaded(bool loaded)
{
    m_objectsLoaded = loaded;
}

void SearchRun::RunPhases()
{
    const qint64 startTime = QDateTime::currentSecsSinceEpoch();
    m_instancesFound = 0;
    m_coverage->Clear();
    m_writer.Reset(m_parameters);
    if (m_parameters.outputMode == OutputMode::CompleteToFile)
        m_writer.OpenOutputFile();
    WriteHeader();
    RunContext run(m_session, m_parameters, m_writer, m_host, *m_flags, *m_title, *m_coverage);
    ObjectNameSearch(run).Run(m_objectFilter, m_objectsLoaded);
    RunCatalogPhases(run);
    if (m_parameters.searchData)
        SearchData(run);
    m_flags->Finish();
    m_host.CommandStateChanged();
    m_coverage->Write(m_writer, m_session.DisplayName());
    WriteSummary(QDateTime::currentSecsSinceEpoch() - startTime);
}

void SearchRun::SearchData(RunContext& run)
{
    const IdentifierQuoting quoting = IdentifierQuoting::FromConnection(m_session.Hdbc());
    std::optional<ServerFilter> filter;
    if (m_parameters.serverFilter)
        filter.emplace(ColumnTextRule::DialectFor(SystemSchemas::DbmsName(m_session.Hdbc())), quoting,
                       m_parameters.searchTerms, m_parameters.matchCase);
    DataSearch(run, DataSelectBuilder(quoting, m_parameters.specialNameMode), std::move(filter))
        .RunDataSearch();
}

void SearchRun::WriteHeader()
{
    m_writer.AppendReport(QStringLiteral("DATABASE :  "), ReportColor::Heading, false, true);
    m_writer.AppendReport(m_session.DisplayName(), ReportColor::Text, false, true);
    m_writer.AppendReport(QStringLiteral("\r\n\r\nSEARCHING FOR :  "), ReportColor::Heading, false, true);
    m_writer.AppendReport(m_parameters.searchText, ReportColor::Instance, false, true);
}

// The column phase also builds the column lists the data search selects, so it runs for it too.
void SearchRun::RunCatalogPhases(RunContext& run)
{
    const int objectCount = int(run.objects.size());
    if (m_parameters.searchColumnNames || m_parameters.searchDataTypes || m_parameters.searchData) {
        m_host.SetProgressRange(SearchProgressBar::ColumnsAndTypes, objectCount);
        run.SetTitle(QStringLiteral("Searching Columns and Data Types"));
        ColumnSearch(run).SearchColumnsAndTypes();
        m_host.FinishProgress(SearchProgressBar::ColumnsAndTypes);
    }
    if (m_parameters.searchIndexes) {
        m_host.SetProgressRange(SearchProgressBar::Indexes, objectCount);
        run.SetTitle(QStringLiteral("Searching Indexes"));
        IndexSearch(run).SearchIndexes();
        m_host.FinishProgress(SearchProgressBar::Indexes);
    }
}

void SearchRun::WriteSummary(qint64 elapsedSeconds)
{
    // The search text line of the header counted one instance.
    const int total = m_writer.InstanceCount() - 1;
    m_instancesFound = total;
    m_writer.AppendReport(QStringLiteral("\r\n\r\n\r\nTOTAL NUMBER OF INSTANCES FOUND: "),
                          ReportColor::Heading);
    m_writer.AppendReport(QString::number(total), ReportColor::Instance);
    m_writer.AppendReport(QStringLiteral("\r\n\r\n--- End of Zindrel --- Elapsed Time: ") +
                              ElapsedTime(elapsedSeconds) + QStringLiteral(" ---"),
                          ReportColor::Message);
    m_title->ForgetPause();
    m_title->Set(stateTitle("Finished"));
    m_writer.FinishOutput();
    m_host.ShowMessage(QStringLiteral("Zindrel has finished searching the database"));
    m_title->Set(stateTitle("Ready"));
}

QString SearchRun::ElapsedTime(qint64 seconds)
{
    const qint64 hours = seconds / 3600;
    const qint64 minutes = seconds / 60 - hours * 60;
    return QStringLiteral("%1:%2:%3")
        .arg(hours, 2, 10, QLatin1Char('0'))
        .arg(minutes, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

// A failure nothing below expected (memory ran out, say): the run says so and ends like a stop.
void SearchRun::ReportFailure(const QString& what)
{
    try {
        m_writer.AppendReport(QStringLiteral("\r\n\r\nThe search ended after an error: ") + what,
                              ReportColor::Message, false, true);
        PerformStop();
    } catch (...) {
        m_title->Set(stateTitle("Ready"));
    }
}

void SearchRun::PerformStop()
{
    m_instancesFound = m_writer.InstanceCount() - 1;
    m_title->ForgetPause();
    m_coverage->Write(m_writer, m_session.DisplayName()); // what was read before the stop
    m_writer.AppendReport(QStringLiteral("\r\n\r\nZindrel Stopped ..."), ReportColor::Message, false, true);
    m_title->Set(stateTitle("Stopped"));
    m_writer.FinishOutput();
    m_host.ShowMessage(QStringLiteral("Zindrel has been stopped."));
    m_title->Set(stateTitle("Ready"));
}

} // namespace velkaro

#include "search/engine/SearchRun.h"

#include "catalog/CDbSession.h"
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
    stop();
    wait();
}

void SearchRun::start()
{
    if (m_flags->isRunning())
        return;
    wait();
    m_flags->begin();
    m_session.statementCancel().begin();
    m_title->set(stateTitle("Retrieving Database Information"));
    m_host.commandStateChanged();
    m_worker = std::thread([this] { run(); });
}

void SearchRun::RunSearch()
{
    if (m_flags->isRunning())
        return;
    m_flags->begin();
    m_session.statementCancel().begin();
    m_host.commandStateChanged();
    run();
}

// The flags are raised by the caller, so a stop that comes before this thread starts is kept.
void SearchRun::run()
{
    // A catalog message of the worker must not open a window on this thread, nor hold a Stop.
    RunPrompt prompt(m_host, *m_flags);
    UserPrompt* const sessionPrompt = m_session.prompt();
    m_session.setPrompt(&prompt);
    try {
        runPhases();
    } catch (const RunStopped&) {
        performStop();
    } catch (const std::exception& error) {
        reportFailure(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        reportFailure(QStringLiteral("unknown error"));
    }
    m_session.setPrompt(sessionPrompt);
    m_session.statementCancel().end();
    m_flags->finish();
    m_host.commandStateChanged();
    m_host.runEnded();
}

void SearchRun::wait()
{
    if (m_worker.joinable())
        m_worker.join();
}

void SearchRun::pause()
{
    if (!m_flags->isRunning())
        return;
    if (m_title->pause())
        m_flags->pause();
    m_host.commandStateChanged();
}

void SearchRun::resume()
{
    m_title->resume();
    m_flags->resume();
    m_host.commandStateChanged();
}

// The object being read is left at once, also when the driver is waiting on the server.
void SearchRun::skip()
{
    m_flags->requestSkip();
    if (m_flags->inDataPhase())
        m_session.statementCancel().cancel();
}

void SearchRun::stop()
{
    m_flags->requestStop();
    m_session.statementCancel().stop();
}

bool SearchRun::isRunning() const
{
    return m_flags->isRunning();
}

// A pause that came as the run ended leaves nothing to resume.
bool SearchRun::isPaused() const
{
    return m_flags->isRunning() && m_flags->isPaused();
}

bool SearchRun::inDataPhase() const
{
    return m_flags->inDataPhase();
}

int SearchRun::instancesFound() const
{
    return m_instancesFound;
}

void SearchRun::setObjectFilter(const QStringList& names)
{
    m_objectFilter = names;
}

void SearchRun::setObjectsLoaded(bool loaded)
{
    m_objectsLoaded = loaded;
}

void SearchRun::runPhases()
{
    const qint64 startTime = QDateTime::currentSecsSinceEpoch();
    m_instancesFound = 0;
    m_coverage->clear();
    m_writer.Reset(m_parameters);
    if (m_parameters.outputMode == OutputMode::CompleteToFile)
        m_writer.OpenOutputFile();
    writeHeader();
    RunContext run(m_session, m_parameters, m_writer, m_host, *m_flags, *m_title, *m_coverage);
    ObjectNameSearch(run).Run(m_objectFilter, m_objectsLoaded);
    runCatalogPhases(run);
    if (m_parameters.searchData)
        DataSearch(run, DataSelectBuilder(IdentifierQuoting::FromConnection(m_session.hdbc()),
                                          m_parameters.specialNameMode))
            .RunDataSearch();
    m_flags->finish();
    m_host.commandStateChanged();
    m_coverage->Write(m_writer, m_session.displayName());
    writeSummary(QDateTime::currentSecsSinceEpoch() - startTime);
}

void SearchRun::writeHeader()
{
    m_writer.AppendReport(QStringLiteral("DATABASE :  "), ReportColor::Heading, false, true);
    m_writer.AppendReport(m_session.displayName(), ReportColor::Text, false, true);
    m_writer.AppendReport(QStringLiteral("\r\n\r\nSEARCHING FOR :  "), ReportColor::Heading, false, true);
    m_writer.AppendReport(m_parameters.searchText, ReportColor::Instance, false, true);
}

// The column phase also builds the column lists the data search selects, so it runs for it too.
void SearchRun::runCatalogPhases(RunContext& run)
{
    const int objectCount = int(run.objects.size());
    if (m_parameters.searchColumnNames || m_parameters.searchDataTypes || m_parameters.searchData) {
        m_host.setProgressRange(SearchProgressBar::ColumnsAndTypes, objectCount);
        run.setTitle(QStringLiteral("Searching Columns and Data Types"));
        ColumnSearch(run).SearchColumnsAndTypes();
        m_host.finishProgress(SearchProgressBar::ColumnsAndTypes);
    }
    if (m_parameters.searchIndexes) {
        m_host.setProgressRange(SearchProgressBar::Indexes, objectCount);
        run.setTitle(QStringLiteral("Searching Indexes"));
        IndexSearch(run).SearchIndexes();
        m_host.finishProgress(SearchProgressBar::Indexes);
    }
}

void SearchRun::writeSummary(qint64 elapsedSeconds)
{
    // The search text line of the header counted one instance.
    const int total = m_writer.instanceCount() - 1;
    m_instancesFound = total;
    m_writer.AppendReport(QStringLiteral("\r\n\r\n\r\nTOTAL NUMBER OF INSTANCES FOUND: "),
                          ReportColor::Heading);
    m_writer.AppendReport(QString::number(total), ReportColor::Instance);
    m_writer.AppendReport(QStringLiteral("\r\n\r\n--- End of Zindrel --- Elapsed Time: ") +
                              ElapsedTime(elapsedSeconds) + QStringLiteral(" ---"),
                          ReportColor::Message);
    m_title->forgetPause();
    m_title->set(stateTitle("Finished"));
    m_writer.FinishOutput();
    m_host.showMessage(QStringLiteral("Zindrel has finished searching the database"));
    m_title->set(stateTitle("Ready"));
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
void SearchRun::reportFailure(const QString& what)
{
    try {
        m_writer.AppendReport(QStringLiteral("\r\n\r\nThe search ended after an error: ") + what,
                              ReportColor::Message, false, true);
        performStop();
    } catch (...) {
        m_title->set(stateTitle("Ready"));
    }
}

void SearchRun::performStop()
{
    m_instancesFound = m_writer.instanceCount() - 1;
    m_title->forgetPause();
    m_coverage->Write(m_writer, m_session.displayName()); // what was read before the stop
    m_writer.AppendReport(QStringLiteral("\r\n\r\nZindrel Stopped ..."), ReportColor::Message, false, true);
    m_title->set(stateTitle("Stopped"));
    m_writer.FinishOutput();
    m_host.showMessage(QStringLiteral("Zindrel has been stopped."));
    m_title->set(stateTitle("Ready"));
}

} // namespace velkaro

#include "search/engine/SearchRun.h"

#include "catalog/CDbSession.h"
#include "search/engine/ReportWriter.h"
#include "search/engine/RunFlags.h"
#include "search/engine/RunTitle.h"
#include "search/engine/SearchHost.h"

namespace velkaro {

SearchRun::SearchRun(CDbSession& session, const SearchParameters& parameters, ReportWriter& writer,
                     SearchHost& host)
    : m_session(session), m_parameters(parameters), m_writer(writer), m_host(host),
      m_flags(std::make_unique<RunFlags>()), m_title(std::make_unique<RunTitle>(host))
{}

SearchRun::~SearchRun()
{
    stop();
    wait();
}

void SearchRun::start()
{
    wait();
    m_flags->begin();
    m_worker = std::thread([this] { RunSearch(); });
}

void SearchRun::RunSearch()
{
    m_flags->begin();
    try {
        runPhases();
    } catch (const RunStopped&) {
        performStop();
    }
    m_flags->finish();
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
    if (m_title->resume())
        m_flags->resume();
    m_host.commandStateChanged();
}

void SearchRun::skip()
{
    m_flags->requestSkip();
}

void SearchRun::stop()
{
    m_flags->requestStop();
}

bool SearchRun::isRunning() const
{
    return m_flags->isRunning();
}

bool SearchRun::isPaused() const
{
    return m_flags->isPaused();
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
{}

void SearchRun::performStop()
{}

} // namespace velkaro

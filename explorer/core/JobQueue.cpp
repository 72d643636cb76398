#include "explorer/core/JobQueue.h"

#include <algorithm>

namespace velkaro {

JobQueue::JobQueue(QObject* parent) : QObject(parent)
{
    m_timer.setInterval(kDrainIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &JobQueue::DrainQueue);
}

JobQueue::~JobQueue() = default;

void JobQueue::AddJob(JobPtr job)
{
    m_jobs.push_front(std::move(job));
}

bool JobQueue::EnqueueJob(JobPtr job)
{
    if (job->entry && IsQueued(*job->entry)) {
        Log(QStringLiteral("Skipping queue of database %1, it is already queued.").arg(job->entry->alias));
        return false;
    }
    m_queue.push_back(std::move(job));
    if (m_queue.size() == 1)
        m_timer.start();
    return true;
}

bool JobQueue::IsQueued(const DatabaseEntry& entry) const
{
    return std::any_of(m_queue.begin(), m_queue.end(),
                       [&entry](const JobPtr& queued) { return queued->entry.get() == &entry; });
}

std::vector<JobQueue::JobPtr> JobQueue::DropJobsFor(const DatabaseEntry& entry)
{
    std::vector<JobPtr> dropped;
    for (auto it = m_queue.begin(); it != m_queue.end();) {
        if ((*it)->entry.get() == &entry) {
            dropped.push_back(std::move(*it));
            it = m_queue.erase(it);
        } else {
            ++it;
        }
    }
    if (m_queue.empty())
        m_timer.stop();
    return dropped;
}

void JobQueue::SetDrainHooks(std::function<int()> busyCount, std::function<int()> maximum,
                             std::function<void(JobPtr)> start, std::function<void(const QString&)> log)
{
    m_busyCount = std::move(busyCount);
    m_maximum = std::move(maximum);
    m_start = std::move(start);
    m_log = std::move(log);
}

void JobQueue::DrainQueue()
{
    if (!m_busyCount || !m_maximum || !m_start)
        return;
    int busy = m_busyCount();
    const int maximum = m_maximum();
    while (!m_queue.empty() && busy < maximum) {
        JobPtr job = std::move(m_queue.front());
        m_queue.pop_front();
        // Starting may run a nested event loop or enqueue again; the queue is consistent by then.
        m_start(std::move(job));
        ++busy;
    }
    if (m_queue.empty())
        m_timer.stop();
}

void JobQueue::ReleaseAll()
{
    m_timer.stop();
    m_queue.clear();
    m_jobs.clear();
}

void JobQueue::Log(const QString& message) const
{
    if (m_log)
        m_log(message);
}

} // namespace velkaro

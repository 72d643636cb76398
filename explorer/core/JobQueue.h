#pragma once

#include "explorer/core/ExplorerJob.h"

#include <QObject>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

namespace velkaro {

// The job list (every job of the run, newest first) and the refresh queue of jobs waiting for a
// worker slot, drained by a 100 ms timer that runs exactly while the queue is not empty.
// Interface thread only.
class JobQueue final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(JobQueue)

public:
    using JobPtr = std::shared_ptr<ExplorerJob>;
    static constexpr int kDrainIntervalMs = 100;

    explicit JobQueue(QObject* parent = nullptr);
    ~JobQueue() override;

    void AddJob(JobPtr job); // head of the job list
    const std::deque<JobPtr>& Jobs() const { return m_jobs; }

    // False (and "Skipping queue of database <alias>, it is already queued." logged) when a job for
    // the same entry is queued; starts the drain timer when the queue becomes non-empty.
    bool EnqueueJob(JobPtr job);
    bool IsQueued(const DatabaseEntry& entry) const;
    // Takes the queued jobs of entry out of the queue (its database was removed).
    std::vector<JobPtr> DropJobsFor(const DatabaseEntry& entry);
    int QueuedCount() const { return static_cast<int>(m_queue.size()); }
    bool DrainTimerActive() const { return m_timer.isActive(); }

    // DrainQueue starts queued jobs, first in first out, while busyCount() is below maximum().
    void SetDrainHooks(std::function<int()> busyCount, std::function<int()> maximum,
                       std::function<void(JobPtr)> start, std::function<void(const QString&)> log);
    void DrainQueue(); // the timer's handler
    void ReleaseAll(); // shutdown: empties the job list and the queue, stops the timer

private:
    void Log(const QString& message) const;

    std::deque<JobPtr> m_jobs;
    std::deque<JobPtr> m_queue;
    QTimer m_timer;
    std::function<int()> m_busyCount;
    std::function<int()> m_maximum;
    std::function<void(JobPtr)> m_start;
    std::function<void(const QString&)> m_log;
};

} // namespace velkaro

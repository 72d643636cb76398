#pragma once

#include <atomic>
#include <functional>
#include <memory>

namespace velkaro {

// Starts detached threads and counts the live ones. The count outlives this object, so a thread
// still running after its owner is gone decrements memory that is still there.
class WorkerThreads final
{
public:
    // Runs a prepared thread body on a new thread; throws std::system_error when it cannot.
    using Launcher = std::function<void(std::function<void()>)>;

    WorkerThreads();
    // Tests pass a launcher that fails, or runs the body in place.
    explicit WorkerThreads(Launcher launcher);
    WorkerThreads(const WorkerThreads&) = delete;
    WorkerThreads& operator=(const WorkerThreads&) = delete;

    // Runs body on a new thread; false when the thread could not be created.
    bool Start(std::function<void()> body);
    int LiveCount() const { return m_live->load(); } // started and not yet returned
    int StartedCount() const { return m_started; }   // threads started so far

private:
    Launcher m_launcher;
    std::shared_ptr<std::atomic<int>> m_live = std::make_shared<std::atomic<int>>(0);
    int m_started = 0;
};

} // namespace velkaro

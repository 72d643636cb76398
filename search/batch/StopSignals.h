#pragma once

#include <atomic>
#include <mutex>
#include <thread>

namespace velkaro {

class SearchRun;

// Turns SIGINT, SIGTERM and SIGHUP into a stop of the run, so that the report ends with its stop
// line and the files are written out. Before and after the run a signal ends the program at once.
// Construct it first thing in main: the signals are blocked in every thread created after it and
// taken by one thread of its own.
class StopSignals final
{
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // The run to stop; nullptr once it may go away.
    void SetRun(SearchRun* run);
    // The signal that stopped the run, 0 when none did.
    int Received() const { return m_received; }

private:
    void Watch();

    std::mutex m_mutex;
    SearchRun* m_run = nullptr; // guarded by m_mutex
    std::atomic<int> m_received{0};
    std::atomic<bool> m_done{false};
    std::thread m_thread;
};

} // namespace velkaro

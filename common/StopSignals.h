#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

namespace velkaro {

// Turns SIGINT, SIGTERM and SIGHUP into a stop of a terminal program's run, so that its report ends
// with its stop lines and its files are written out. Before and after the run, and at a second
// signal, a signal ends the program at once. Construct it first thing in main: the signals are
// blocked in every thread created after it and taken by one thread of its own.
class StopSignals final
{
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // Stops the run from the signals' thread; false when the run has finished and is only writing
    // its files, which a signal then leaves alone.
    using StopRun = std::function<bool()>;

    // How to stop the run; empty once it may go away.
    void SetRun(StopRun stopRun);
    // The signal that stopped the run, 0 when none did.
    int Received() const { return m_received; }

private:
    void Watch();

    std::mutex m_mutex;
    StopRun m_stopRun; // guarded by m_mutex
    std::atomic<int> m_received{0};
    std::atomic<bool> m_done{false};
    std::thread m_thread;
};

} // namespace velkaro

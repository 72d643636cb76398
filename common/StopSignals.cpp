#include "common/StopSignals.h"

#include <csignal>
#include <cstdlib>
#include <ctime>
#include <pthread.h>

namespace velkaro {

namespace {

sigset_t StopSignalSet()
{
    sigset_t set;
    sigemptyset(&set);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&set, signal);
    return set;
}

// Sent by the destructor to the watching thread, so that the program's end waits for no poll. It
// stays blocked in every thread: one sent from outside is taken by the watcher and ignored.
int WakeSignal()
{
    return SIGRTMIN;
}

sigset_t WatchedSignalSet()
{
    sigset_t set = StopSignalSet();
    sigaddset(&set, WakeSignal());
    return set;
}

constexpr long kPollNanoseconds = 200L * 1000 * 1000;

} // namespace

StopSignals::StopSignals()
{
    const sigset_t set = WatchedSignalSet();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    m_thread = std::thread([this] { Watch(); });
}

StopSignals::~StopSignals()
{
    m_done = true;
    pthread_kill(m_thread.native_handle(), WakeSignal());
    m_thread.join();
    const sigset_t set = StopSignalSet();
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

void StopSignals::SetRun(StopRun stopRun)
{
    const std::lock_guard lock(m_mutex);
    m_stopRun = std::move(stopRun);
}

void StopSignals::Watch()
{
    const sigset_t set = WatchedSignalSet();
    const timespec step{0, kPollNanoseconds};
    while (!m_done) {
        const int signal = sigtimedwait(&set, nullptr, &step);
        if (signal <= 0 || signal == WakeSignal())
            continue;
        const std::lock_guard lock(m_mutex);
        // A second signal while the run stops, or one with no run to stop, ends the program.
        if (!m_stopRun || m_received != 0)
            std::_Exit(128 + signal);
        if (m_stopRun())
            m_received = signal;
    }
}

} // namespace velkaro

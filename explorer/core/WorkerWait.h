#pragma once

#include <functional>

namespace velkaro {

// The Stop and shutdown polling loops. The pause is injected so that the interface thread keeps
// serving queued requests while it waits (a worker posting to it never deadlocks) and tests take
// no real time.
struct WorkerWait
{
    static constexpr int kStopPauseMs = 200;
    static constexpr int kStopPasses = 50;
    static constexpr int kShutdownPauseMs = 90;
    static constexpr int kShutdownPasses = 100;

    // Passes of 200 ms while anyInUse(); true when they all stopped, false when still busy after
    // 50 passes.
    static bool WaitForStop(const std::function<bool()>& anyInUse, const std::function<void(int ms)>& pause);
    // Counter 100; each pass notes anyInUse(), pauses 90 ms and counts down, calling
    // countdown(counter / 10) at each multiple of 10. True when a pass began with nothing in use,
    // false when the counter ran out while something was.
    static bool WaitForShutdown(const std::function<bool()>& anyInUse,
                                const std::function<void(int ms)>& pause,
                                const std::function<void(int)>& countdown);
};

} // namespace velkaro

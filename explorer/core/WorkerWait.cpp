#include "explorer/core/WorkerWait.h"

namespace velkaro {

bool WorkerWait::WaitForStop(const std::function<bool()>& anyInUse, const std::function<void(int ms)>& pause)
{
    for (int pass = 0; anyInUse(); ++pass) {
        if (pass == kStopPasses)
            return false;
        pause(kStopPauseMs);
    }
    return true;
}

bool WorkerWait::WaitForShutdown(const std::function<bool()>& anyInUse,
                                 const std::function<void(int ms)>& pause,
                                 const std::function<void(int)>& countdown)
{
    for (int counter = kShutdownPasses;;) {
        const bool busy = anyInUse();
        pause(kShutdownPauseMs);
        --counter;
        if (counter % 10 == 0)
            countdown(counter / 10);
        // A pass that began with nothing in use ends the wait even when it was the last one.
        if (!busy)
            return true;
        if (counter == 0)
            return false;
    }
}

} // namespace velkaro

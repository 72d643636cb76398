#pragma once

namespace velkaro {

// What the shutdown wait shows while the workers are given time to stop.
class TerminateWaitDisplay
{
public:
    virtual ~TerminateWaitDisplay() = default;
    virtual void ShowCountdown(int value) = 0;
};

} // namespace velkaro

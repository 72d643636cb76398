#pragma once

namespace velkaro {

// What the shutdown wait shows while the workers are given time to stop.
class TerminateWaitDisplay
{
public:
    virtual ~TerminateWaitDisplay() = default;
    virtual void showCountdown(int value) = 0;
};

} // namespace velkaro

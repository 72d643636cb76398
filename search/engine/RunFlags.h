#pragma once

#include <atomic>
#include <chrono>

namespace velkaro {

// Thrown at a checkpoint once the run has been stopped; the run catches it, writes the stop and
// ends. Every statement on the way out is released by its owner.
struct RunStopped
{
};

// The flags the interface thread sets and the run's worker polls before every object and every
// fetched row.
class RunFlags final
{
public:
    static constexpr std::chrono::milliseconds kPauseStep{100};

    void begin();
    void Finish();

    void Pause() { m_paused = true; }
    void Resume() { m_paused = false; }
    void RequestSkip() { m_skipRequested = true; }
    void RequestStop() { m_running = false; }
    void SetDataPhase(bool on) { m_dataPhase = on; }
    void ClearSkip() { m_skipRequested = false; }
    // True once per request: the data phase leaves the current object.
    bool TakeSkip() { return m_skipRequested.load() && m_skipRequested.exchange(false); }

    bool IsRunning() const { return m_running; }
    bool IsPaused() const { return m_paused; }
    bool InDataPhase() const { return m_dataPhase; }

    // Waits in steps while paused; throws RunStopped when the run has been stopped, also while
    // paused (the pause is cleared then).
    void Checkpoint();

private:
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_paused{false};
    std::atomic<bool> m_skipRequested{false};
    std::atomic<bool> m_dataPhase{false};
};

} // namespace velkaro

#pragma once

#include <QElapsedTimer>
#include <QTimer>

namespace velkaro::test {

// The longest time between two ticks of a fast timer on the interface thread: how long the window
// did not answer.
class StallMeter final
{
public:
    static constexpr int kTickMs = 10;

    StallMeter();
    void start();
    // Counts the time since the last tick too: work that has not yet let the timer in is a stall.
    qint64 longestMs();
    // When the longest gap ended, in ms from start(): tells a start-up stall from one during the load.
    qint64 longestEndedAtMs() const { return m_longestEnd; }

private:
    void tick();

    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
    qint64 m_longestEnd = 0;
};

} // namespace velkaro::test

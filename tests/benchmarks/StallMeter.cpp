#include "StallMeter.h"

namespace velkaro::test {

StallMeter::StallMeter()
{
    m_timer.setInterval(kTickMs);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
}

void StallMeter::start()
{
    m_longest = 0;
    m_clock.start();
    m_last = 0;
    m_timer.start();
}

qint64 StallMeter::longestMs()
{
    tick();
    return m_longest;
}

void StallMeter::tick()
{
    const qint64 now = m_clock.elapsed();
    if (now - m_last > m_longest) {
        m_longest = now - m_last;
        m_longestEnd = now;
    }
    m_last = now;
}

} // namespace velkaro::test

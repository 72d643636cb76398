#include "search/engine/RunFlags.h"

#include <thread>

namespace velkaro {

void RunFlags::begin()
{
    m_paused = false;
    m_skipRequested = false;
    m_dataPhase = false;
    m_running = true;
}

void RunFlags::Finish()
{
    m_running = false;
    m_paused = false;
    m_skipRequested = false;
    m_dataPhase = false;
}

void RunFlags::Checkpoint()
{
    while (m_paused) {
        if (!m_running) {
            m_paused = false;
            break;
        }
        std::this_thread::sleep_for(kPauseStep);
    }
    if (!m_running)
        throw RunStopped{};
}

} // namespace velkaro

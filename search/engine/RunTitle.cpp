#include "search/engine/RunTitle.h"

#include "search/engine/SearchHost.h"

namespace velkaro {

// The host only posts the title, so calling it under the lock keeps the order of the titles
// the two threads set.
void RunTitle::Set(const QString& title)
{
    std::lock_guard lock(m_mutex);
    if (m_paused) {
        m_saved = title;
        return;
    }
    m_shown = title;
    m_host.SetTitle(title);
}

bool RunTitle::Pause()
{
    std::lock_guard lock(m_mutex);
    if (m_paused)
        return false;
    m_saved = m_shown;
    m_paused = true;
    m_shown = Of(QStringLiteral("Paused"));
    m_host.SetTitle(m_shown);
    return true;
}

bool RunTitle::Resume()
{
    std::lock_guard lock(m_mutex);
    if (!m_paused)
        return false;
    m_paused = false;
    m_shown = m_saved;
    m_host.SetTitle(m_shown);
    return true;
}

void RunTitle::ForgetPause()
{
    std::lock_guard lock(m_mutex);
    m_paused = false;
}

} // namespace velkaro

#include "explorer/hub/RefreshScheduler.h"

#include "explorer/logsettings/RefreshSettings.h"

namespace velkaro {

namespace {

constexpr qint64 kSecondsPerMinute = 60;

int minuteOfDay(const QTime& time)
{
    return time.hour() * 60 + time.minute();
}

qint64 wholeMinutesBetween(qint64 fromSeconds, qint64 toSeconds)
{
    return (toSeconds - fromSeconds) / kSecondsPerMinute;
}

} // namespace

RefreshScheduler::RefreshScheduler(const RefreshSettings& settings, const DatabaseList& databases,
                                   Hooks hooks)
    : m_settings(settings), m_databases(databases), m_hooks(std::move(hooks)),
      m_clock([] { return QDateTime::currentDateTime(); })
{
    m_idleStart = m_clock();
}

void RefreshScheduler::SetClock(Clock clock)
{
    m_clock = std::move(clock);
    m_idleStart = m_clock();
}

void RefreshScheduler::RestartIdle()
{
    m_idleStart = m_clock();
}

bool RefreshScheduler::CheckIdle()
{
    // Switched off: nothing runs, however long the program is left alone.
    if (m_settings.RAUTO.load() == 0)
        return false;
    const QDateTime now = m_clock();
    if (wholeMinutesBetween(m_idleStart.toSecsSinceEpoch(), now.toSecsSinceEpoch()) <=
        m_settings.RIDLE.load())
        return false;
    m_idleStart = now;
    AutoRefresh(now);
    return true;
}

int RefreshScheduler::AutoRefresh(const QDateTime& now)
{
    if (m_settings.RAUTO.load() == 0)
        return 0;
    if (m_settings.RTIME.load() == 1 && !InRefreshWindow(now)) {
        m_hooks.log(QStringLiteral("DEBUG: skipping refresh, too early"));
        return 0;
    }
    std::vector<DatabaseEntryPtr> due;
    for (const DatabaseEntryPtr& entry : m_databases.Entries()) {
        if (wholeMinutesBetween(entry->lastRefreshed.load(), now.toSecsSinceEpoch()) > m_settings.RMAX.load())
            due.push_back(entry);
    }
    if (due.empty())
        return 0;
    // Emptying the selected database's node would select it again and start an on-access load
    // that the refresh in progress refuses: the root is selected first, as Refresh All does.
    m_hooks.selectRoot();
    for (const DatabaseEntryPtr& entry : due)
        m_hooks.refreshDatabase(entry);
    m_hooks.selectRoot();
    return static_cast<int>(due.size());
}

bool RefreshScheduler::InRefreshWindow(const QDateTime& now) const
{
    const int current = minuteOfDay(now.time());
    const int start = minuteOfDay(m_settings.notBefore);
    const int end = minuteOfDay(m_settings.notAfter);
    if (start < end)
        return start <= current && current <= end;
    return current < end || current >= start;
}

} // namespace velkaro

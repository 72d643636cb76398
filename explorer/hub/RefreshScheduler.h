#pragma once

#include "explorer/core/DatabaseList.h"

#include <QDateTime>
#include <functional>

namespace velkaro {

struct RefreshSettings;

// The timed auto-refresh: once the program has been idle for "RIDLE" minutes, every database
// whose last load is more than "RMAX" minutes old is refreshed in the background, within the
// time-of-day window when "RTIME" asks for one. Interface thread only; the clock is injected so
// the rules can be checked without waiting an hour.
class RefreshScheduler final
{
public:
    using Clock = std::function<QDateTime()>;

    struct Hooks
    {
        // A background refresh of one database.
        std::function<void(const DatabaseEntryPtr&)> refreshDatabase;
        std::function<void()> selectRoot;
        std::function<void(const QString&)> log;
    };

    RefreshScheduler(const RefreshSettings& settings, const DatabaseList& databases, Hooks hooks);

    // Local time by default.
    void SetClock(Clock clock);
    QDateTime Now() const { return m_clock(); }

    // User input: the idle period starts again.
    void RestartIdle();
    // The periodic idle test: runs AutoRefresh once the idle period is longer than "RIDLE"
    // minutes, then starts a new period. True when it ran.
    bool CheckIdle();
    // The scheduler run; the number of databases it asked to refresh.
    int AutoRefresh(const QDateTime& now);
    bool InRefreshWindow(const QDateTime& now) const;

private:
    const RefreshSettings& m_settings;
    const DatabaseList& m_databases;
    Hooks m_hooks;
    Clock m_clock;
    QDateTime m_idleStart;
};

} // namespace velkaro

#pragma once

#include "common/ActivityLogSink.h"

#include <QDateTime>
#include <QString>
#include <atomic>
#include <cstddef>
#include <deque>

class QFile;

namespace velkaro {

struct LogSettings;
class UserPrompt;

// The explorer's activity log: one stamped line per entry, the file opened, appended to and
// closed for each. Writers on any thread are serialised by a busy flag; entries that find the
// file closed to them wait in a queue and are written before the next entry that gets it open.
class ActivityLog final : public ActivityLogSink
{
public:
    // Entries kept while the file cannot be opened; older ones give way beyond this.
    static constexpr std::size_t kDefaultMissedEntryLimit = 10000;

    ActivityLog(LogSettings& settings, UserPrompt& prompt,
                std::size_t missedEntryLimit = kDefaultMissedEntryLimit);
    ActivityLog(const ActivityLog&) = delete;
    ActivityLog& operator=(const ActivityLog&) = delete;

    void WriteLog(const QString& message, bool applyOpenMode = false) override;

    // Empties the log file (creating it if missing). On failure tells the user and returns false.
    bool ClearLog();

    // The base name in use and the file it names; safe while other threads write.
    QString FileName() const;
    QString CurrentPath() const;
    // Later entries go to the new base name; an empty name means the default one.
    void SetFileName(const QString& name);

    static QString StripLogExtension(const QString& name);
    static QString MakeNewLogName(const QString& name);
    static QString TimeStamp(const QDateTime& when);

private:
    class WriterLock;

    QString PathLocked() const;
    bool WriteEntry(const QString& stamp, const QString& message, bool applyOpenMode);
    bool FlushMissedEntries(QFile& file, const QString& stamp);
    void QueueMissedEntry(const QString& entry);

    LogSettings& m_settings;
    UserPrompt& m_prompt;
    const std::size_t m_missedEntryLimit;
    mutable std::atomic_flag m_busy;
    // Touched only while m_busy is held.
    std::deque<QString> m_missedEntries;
    std::size_t m_droppedEntries = 0;
};

} // namespace velkaro

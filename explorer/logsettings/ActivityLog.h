#pragma once

#include "common/ActivityLogSink.h"

#include <QDateTime>
#include <QString>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

class QFile;

namespace velkaro {

struct LogSettings;
class UserPrompt;

// The explorer's activity log: one stamped line per entry. An entry is stamped when it is made and
// handed to a writer thread, which appends whatever has gathered in one go (the file opened and
// closed per batch), so a worker that logs every object never waits on the disk. Entries that find
// the file closed to them wait in a queue and are written before the next batch that gets it open.
// Readers of the file call Flush first.
class ActivityLog final : public ActivityLogSink
{
public:
    // Entries kept while the file cannot be opened; older ones give way beyond this.
    static constexpr std::size_t kDefaultMissedEntryLimit = 10000;

    ActivityLog(LogSettings& settings, UserPrompt& prompt,
                std::size_t missedEntryLimit = kDefaultMissedEntryLimit);
    // Writes what is still pending.
    ~ActivityLog() override;
    ActivityLog(const ActivityLog&) = delete;
    ActivityLog& operator=(const ActivityLog&) = delete;

    // The start-up entry (applyOpenMode) is written before the call returns, as its open mode
    // decides the file; any other entry soon after, on the writer thread.
    void WriteLog(const QString& message, bool applyOpenMode = false) override;
    // Returns once every entry made before the call is in the file (or queued as missed).
    void Flush();

    // Empties the log file (creating it if missing). On failure tells the user and returns false.
    bool ClearLog();

    // The base name in use and the file it names; safe while other threads write.
    QString FileName() const;
    QString CurrentPath() const;
    // Later entries go to the new base name (earlier ones to the old); an empty name means the
    // default one.
    void SetFileName(const QString& name);

    static QString StripLogExtension(const QString& name);
    static QString MakeNewLogName(const QString& name);
    static QString TimeStamp(const QDateTime& when);

private:
    struct PendingEntry
    {
        qint64 submitted = 0; // ms since the epoch
        QString message;
    };

    void RunWriter();
    void WriteBatch(const std::vector<PendingEntry>& batch);
    QString StampFor(qint64 submitted);
    QString PathLocked() const;
    bool WriteEntry(const QString& stamp, const QString& message, bool applyOpenMode);
    bool FlushMissedEntries(QFile& file, const QString& stamp);
    void QueueMissedEntry(const QString& entry);

    LogSettings& m_settings;
    UserPrompt& m_prompt;
    const std::size_t m_missedEntryLimit;

    // The file, the settings' file name and the missed entries: one writer at a time.
    mutable std::mutex m_fileMutex;
    std::deque<QString> m_missedEntries;
    std::size_t m_droppedEntries = 0;
    qint64 m_stampSecond = -1; // the second m_stamp shows
    QString m_stamp;

    // The hand-over to the writer thread.
    std::mutex m_queueMutex;
    std::condition_variable m_entriesMade;
    std::condition_variable m_entriesWritten;
    std::vector<PendingEntry> m_pending;
    quint64 m_made = 0;
    quint64 m_written = 0;
    bool m_writerWaiting = false;
    bool m_stopping = false;
    std::thread m_writer; // last: starts when everything above exists
};

} // namespace velkaro

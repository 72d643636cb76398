#include "explorer/logsettings/ActivityLog.h"

#include "common/UserPrompt.h"
#include "explorer/logsettings/LogSettings.h"

#include <QFile>
#include <chrono>
#include <thread>

namespace velkaro {

namespace {
const QLatin1String kExtension(".log");

// The log is read on systems that expect CR LF, including inside multi-line messages.
QByteArray lineBytes(const QString& text)
{
    QString line = text;
    line.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    line.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return line.toUtf8() + "\r\n";
}

// Flushes at once so that a full disk shows up here and not later, when the line is gone.
bool writeLine(QFile& file, const QString& text)
{
    const QByteArray bytes = lineBytes(text);
    return file.write(bytes) == bytes.size() && file.flush();
}

QString missedLine(const QString& stamp, const QString& entry)
{
    return stamp + QStringLiteral("Missed Entry: ") + entry;
}
} // namespace

// Claims the busy flag, polling every 5 ms, and releases it on every way out of the scope.
class ActivityLog::WriterLock final
{
public:
    explicit WriterLock(std::atomic_flag& busy) : m_busy(busy)
    {
        while (m_busy.test_and_set(std::memory_order_acquire))
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ~WriterLock() { m_busy.clear(std::memory_order_release); }
    WriterLock(const WriterLock&) = delete;
    WriterLock& operator=(const WriterLock&) = delete;

private:
    std::atomic_flag& m_busy;
};

ActivityLog::ActivityLog(LogSettings& settings, UserPrompt& prompt, std::size_t missedEntryLimit)
    : m_settings(settings), m_prompt(prompt), m_missedEntryLimit(missedEntryLimit > 0 ? missedEntryLimit : 1)
{}

void ActivityLog::WriteLog(const QString& message, bool applyOpenMode)
{
    if (message.isEmpty() || m_settings.enabled.load() == 0)
        return;
    // Timed before the wait: concurrent entries may land slightly out of time order. The local
    // time is worked out under the lock, one thread at a time, as the C library's time zone
    // state is shared.
    const qint64 submitted = QDateTime::currentMSecsSinceEpoch();
    QString unopenedPath;
    {
        WriterLock lock(m_busy);
        const QString stamp = TimeStamp(QDateTime::fromMSecsSinceEpoch(submitted));
        if (!WriteEntry(stamp, message, applyOpenMode) && applyOpenMode)
            unopenedPath = PathLocked();
    }
    // Shown only after the lock is released, so no writer waits on the user.
    if (!unopenedPath.isEmpty())
        m_prompt.ShowError(QStringLiteral("Could not write to log '") + unopenedPath + QLatin1Char('\''));
}

// Returns false only when the file did not open; the start-up entry is then dropped and any
// other entry queued. An entry whose write fails is queued too, so a full disk loses nothing
// that fits in the queue.
bool ActivityLog::WriteEntry(const QString& stamp, const QString& message, bool applyOpenMode)
{
    const bool truncate = applyOpenMode && m_settings.truncate.load() != 0;
    if (applyOpenMode && !truncate && m_settings.append.load() == 0)
        m_settings.fileName = MakeNewLogName(m_settings.fileName);

    QFile file(PathLocked());
    if (!file.open(QIODevice::WriteOnly | (truncate ? QIODevice::Truncate : QIODevice::Append))) {
        if (!applyOpenMode)
            QueueMissedEntry(stamp + message);
        return false;
    }
    if (!FlushMissedEntries(file, stamp) || !writeLine(file, stamp + message))
        QueueMissedEntry(stamp + message);
    return true;
}

bool ActivityLog::FlushMissedEntries(QFile& file, const QString& stamp)
{
    if (m_droppedEntries > 0) {
        const QString notice =
            QStringLiteral("%1 older entries were discarded while the log could not be written.")
                .arg(m_droppedEntries);
        if (!writeLine(file, missedLine(stamp, notice)))
            return false;
        m_droppedEntries = 0;
    }
    while (!m_missedEntries.empty()) {
        QString entry = std::move(m_missedEntries.front());
        m_missedEntries.pop_front();
        if (!writeLine(file, missedLine(stamp, entry))) {
            // Back to the front: the queue keeps the order in which entries were made.
            m_missedEntries.push_front(std::move(entry));
            return false;
        }
    }
    return true;
}

void ActivityLog::QueueMissedEntry(const QString& entry)
{
    m_missedEntries.push_back(entry);
    if (m_missedEntries.size() > m_missedEntryLimit) {
        m_missedEntries.pop_front();
        ++m_droppedEntries;
    }
}

bool ActivityLog::ClearLog()
{
    QString path;
    bool cleared = false;
    {
        // Held so that no worker's entry lands half before and half after the truncation.
        WriterLock lock(m_busy);
        path = PathLocked();
        QFile file(path);
        cleared = file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    }
    if (!cleared) {
        m_prompt.ShowError(QStringLiteral("Could not clear log file'") + path + QLatin1Char('\''));
        return false;
    }
    if (m_settings.LANY.load() != 0)
        WriteLog(QStringLiteral("Log cleared."));
    return true;
}

QString ActivityLog::FileName() const
{
    WriterLock lock(m_busy);
    return m_settings.fileName;
}

QString ActivityLog::CurrentPath() const
{
    WriterLock lock(m_busy);
    return PathLocked();
}

void ActivityLog::SetFileName(const QString& name)
{
    WriterLock lock(m_busy);
    m_settings.fileName = name;
}

QString ActivityLog::PathLocked() const
{
    // An empty name would make a hidden ".log" in the current directory.
    const QString& base =
        m_settings.fileName.isEmpty() ? LogSettings::DefaultFileName() : m_settings.fileName;
    return base + kExtension;
}

QString ActivityLog::StripLogExtension(const QString& name)
{
    // Only the first ".log" counts: "a.log.log" keeps both.
    const qsizetype at = name.indexOf(kExtension, 0, Qt::CaseInsensitive);
    return at >= 0 && at == name.size() - kExtension.size() ? name.left(at) : name;
}

QString ActivityLog::MakeNewLogName(const QString& name)
{
    QString base = StripLogExtension(name.isEmpty() ? LogSettings::DefaultFileName() : name);
    if (base.endsWith(QLatin1Char(')'))) {
        // A counter suffix from an earlier run; a "(" in a directory name is not one.
        const qsizetype open = base.lastIndexOf(QLatin1Char('('));
        if (open > base.lastIndexOf(QLatin1Char('/')))
            base.truncate(open);
    }
    if (base.isEmpty() || base.endsWith(QLatin1Char('/')))
        base += LogSettings::DefaultFileName();
    QString candidate = base;
    for (int counter = 2; QFile::exists(candidate + kExtension); ++counter)
        candidate = base + QStringLiteral("(%1)").arg(counter);
    return candidate;
}

QString ActivityLog::TimeStamp(const QDateTime& when)
{
    return when.toString(QStringLiteral("<MM/dd/yyyy HH:mm:ss> "));
}

} // namespace velkaro

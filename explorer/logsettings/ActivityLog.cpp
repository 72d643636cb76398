#include "explorer/logsettings/ActivityLog.h"

#include "common/UserPrompt.h"
#include "explorer/logsettings/LogSettings.h"

#include <QFile>

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

ActivityLog::ActivityLog(LogSettings& settings, UserPrompt& prompt, std::size_t missedEntryLimit)
    : m_settings(settings), m_prompt(prompt), m_missedEntryLimit(missedEntryLimit > 0 ? missedEntryLimit : 1),
      m_writer([this] { RunWriter(); })
{}

ActivityLog::~ActivityLog()
{
    {
        std::lock_guard lock(m_queueMutex);
        m_stopping = true;
    }
    m_entriesMade.notify_one();
    m_writer.join();
}

void ActivityLog::WriteLog(const QString& message, bool applyOpenMode)
{
    if (message.isEmpty() || m_settings.enabled.load() == 0)
        return;
    const qint64 submitted = QDateTime::currentMSecsSinceEpoch();
    if (!applyOpenMode) {
        bool wake = false;
        {
            std::lock_guard lock(m_queueMutex);
            m_pending.push_back({submitted, message});
            ++m_made;
            wake = m_writerWaiting;
            m_writerWaiting = false;
        }
        if (wake)
            m_entriesMade.notify_one();
        return;
    }
    // The start-up entry decides the file (truncated, appended to or a new name): everything
    // made before it goes first, and it is in place before anything after it.
    Flush();
    QString unopenedPath;
    {
        std::lock_guard lock(m_fileMutex);
        if (!WriteEntry(StampFor(submitted), message, true))
            unopenedPath = PathLocked();
    }
    // Shown only after the lock is released, so no writer waits on the user.
    if (!unopenedPath.isEmpty())
        m_prompt.ShowError(QStringLiteral("Could not write to log '") + unopenedPath + QLatin1Char('\''));
}

void ActivityLog::Flush()
{
    std::unique_lock lock(m_queueMutex);
    const quint64 target = m_made;
    if (m_writerWaiting && m_written < target) {
        m_writerWaiting = false;
        m_entriesMade.notify_one();
    }
    m_entriesWritten.wait(lock, [&] { return m_written >= target; });
}

void ActivityLog::RunWriter()
{
    std::vector<PendingEntry> batch;
    std::unique_lock lock(m_queueMutex);
    for (;;) {
        if (m_pending.empty()) {
            if (m_stopping)
                return;
            m_writerWaiting = true;
            m_entriesMade.wait(lock, [this] { return !m_pending.empty() || m_stopping; });
            m_writerWaiting = false;
            continue;
        }
        batch.swap(m_pending);
        lock.unlock();
        {
            std::lock_guard fileLock(m_fileMutex);
            WriteBatch(batch);
        }
        lock.lock();
        m_written += batch.size();
        batch.clear();
        m_entriesWritten.notify_all();
    }
}

// One open for the whole batch. A batch the file refuses goes to the missed entries, in order.
void ActivityLog::WriteBatch(const std::vector<PendingEntry>& batch)
{
    QFile file(PathLocked());
    const QString firstStamp = StampFor(batch.front().submitted);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append) || !FlushMissedEntries(file, firstStamp)) {
        for (const PendingEntry& entry : batch)
            QueueMissedEntry(StampFor(entry.submitted) + entry.message);
        return;
    }
    QByteArray bytes;
    for (const PendingEntry& entry : batch)
        bytes += lineBytes(StampFor(entry.submitted) + entry.message);
    // Flushed at once so that a full disk shows up here and not later, when the lines are gone.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        for (const PendingEntry& entry : batch)
            QueueMissedEntry(StampFor(entry.submitted) + entry.message);
    }
}

// The local time is worked out once a second: the C library's time zone state is shared, and a
// busy load makes thousands of entries a second. Called with m_fileMutex held.
QString ActivityLog::StampFor(qint64 submitted)
{
    const qint64 second = submitted / 1000;
    if (second != m_stampSecond) {
        m_stamp = TimeStamp(QDateTime::fromMSecsSinceEpoch(second * 1000));
        m_stampSecond = second;
    }
    return m_stamp;
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
    // What was logged before the clear goes with it.
    Flush();
    QString path;
    bool cleared = false;
    {
        std::lock_guard lock(m_fileMutex);
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
    std::lock_guard lock(m_fileMutex);
    return m_settings.fileName;
}

QString ActivityLog::CurrentPath() const
{
    std::lock_guard lock(m_fileMutex);
    return PathLocked();
}

void ActivityLog::SetFileName(const QString& name)
{
    Flush();
    std::lock_guard lock(m_fileMutex);
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

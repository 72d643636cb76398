#pragma once

#include <QByteArray>
#include <QString>

namespace velkaro {

// A report file written without buffering, so that every failed write is seen at once and a
// full disk can be told apart from other failures.
class ReportFile final
{
public:
    enum class Open
    {
        Truncate,
        Append
    };
    enum class Write
    {
        Ok,
        DiskFull,
        Failed
    };

    ReportFile() = default;
    ~ReportFile();
    ReportFile(const ReportFile&) = delete;
    ReportFile& operator=(const ReportFile&) = delete;

    bool open(const QString& fileName, Open mode);
    bool isOpen() const { return m_fd >= 0; }
    Write write(const QByteArray& bytes);
    // The new position, -1 on failure.
    qint64 seekToEnd();
    // Takes back what a failed write left behind.
    bool truncate(qint64 size);
    // False when the system reports that data could not be written out.
    bool close();

private:
    int m_fd = -1;
};

} // namespace velkaro

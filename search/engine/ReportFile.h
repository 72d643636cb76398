#pragma once

#include <QByteArray>
#include <QString>

namespace velkaro {

// A report file written without buffering, so that every failed write is seen at once and a
// full disk can be told apart from other failures.
class ReportFile final
{
public:
    enum class OpenMode
    {
        Truncate,
        Append
    };
    enum class WriteResult
    {
        Ok,
        DiskFull,
        Failed
    };

    ReportFile() = default;
    ~ReportFile();
    ReportFile(const ReportFile&) = delete;
    ReportFile& operator=(const ReportFile&) = delete;

    bool Open(const QString& fileName, OpenMode mode);
    bool IsOpen() const { return m_fd >= 0; }
    WriteResult Write(const QByteArray& bytes);
    // The new position, -1 on failure.
    qint64 SeekToEnd();
    // Takes back what a failed write left behind.
    bool Truncate(qint64 size);
    // False when the system reports that data could not be written out.
    bool Close();

private:
    int m_fd = -1;
};

} // namespace velkaro

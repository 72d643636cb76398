#include "search/engine/ReportFile.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace velkaro {

ReportFile::~ReportFile()
{
    Close();
}

bool ReportFile::Open(const QString& fileName, OpenMode mode)
{
    Close();
    const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (mode == OpenMode::Truncate ? O_TRUNC : O_APPEND);
    m_fd = ::open(QFile::encodeName(fileName).constData(), flags, 0666);
    return m_fd >= 0;
}

ReportFile::WriteResult ReportFile::Write(const QByteArray& bytes)
{
    if (m_fd < 0)
        return WriteResult::Failed;
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(m_fd, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return written < 0 && errno == ENOSPC ? WriteResult::DiskFull : WriteResult::Failed;
        data += written;
        left -= written;
    }
    return WriteResult::Ok;
}

qint64 ReportFile::SeekToEnd()
{
    return m_fd < 0 ? -1 : qint64(::lseek(m_fd, 0, SEEK_END));
}

bool ReportFile::Truncate(qint64 size)
{
    return m_fd >= 0 && ::ftruncate(m_fd, off_t(size)) == 0;
}

bool ReportFile::Close()
{
    if (m_fd < 0)
        return true;
    const int result = ::close(m_fd);
    m_fd = -1;
    return result == 0;
}

} // namespace velkaro

#include "search/engine/ReportFile.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace velkaro {

ReportFile::~ReportFile()
{
    close();
}

bool ReportFile::open(const QString& fileName, Open mode)
{
    close();
    const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (mode == Open::Truncate ? O_TRUNC : O_APPEND);
    m_fd = ::open(QFile::encodeName(fileName).constData(), flags, 0666);
    return m_fd >= 0;
}

ReportFile::Write ReportFile::write(const QByteArray& bytes)
{
    if (m_fd < 0)
        return Write::Failed;
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(m_fd, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return written < 0 && errno == ENOSPC ? Write::DiskFull : Write::Failed;
        data += written;
        left -= written;
    }
    return Write::Ok;
}

qint64 ReportFile::seekToEnd()
{
    return m_fd < 0 ? -1 : qint64(::lseek(m_fd, 0, SEEK_END));
}

bool ReportFile::truncate(qint64 size)
{
    return m_fd >= 0 && ::ftruncate(m_fd, off_t(size)) == 0;
}

bool ReportFile::close()
{
    if (m_fd < 0)
        return true;
    const int result = ::close(m_fd);
    m_fd = -1;
    return result == 0;
}

} // namespace velkaro

#include "explorer/reports/ReportFileSink.h"

#include "common/UserPrompt.h"

#include <unistd.h>

namespace velkaro {

ReportFileSink::ReportFileSink(QString fileName) : m_fileName(std::move(fileName))
{}

QString ReportFileSink::Label() const
{
    return m_fileName.isEmpty() ? QStringLiteral("standard output") : m_fileName;
}

bool ReportFileSink::Open(UserPrompt& prompt)
{
    m_prompt = &prompt;
    const QIODevice::OpenMode mode = QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text;
    if (m_fileName.isEmpty()) {
        if (!m_file.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Text))
            return Failed();
        return true;
    }
    m_file.setFileName(m_fileName);
    if (!m_file.open(mode)) {
        prompt.ShowMessage(QStringLiteral("Could not write file '") + m_fileName + QLatin1Char('\''));
        return false;
    }
    return true;
}

bool ReportFileSink::EmitLine(const QString& text, bool)
{
    const QByteArray line = text.toUtf8() + '\n';
    if (m_file.write(line) != line.size())
        return Failed();
    return true;
}

bool ReportFileSink::Close(UserPrompt&)
{
    if (m_failed || !m_file.isOpen())
        return !m_failed;
    if (!m_file.flush())
        return Failed();
    m_file.close();
    return true;
}

bool ReportFileSink::Failed()
{
    if (m_failed)
        return false;
    m_failed = true;
    const QString reason = m_file.errorString();
    m_file.close();
    if (m_prompt)
        m_prompt->ShowMessage(QStringLiteral("Could not write file '%1': %2").arg(Label(), reason));
    return false;
}

} // namespace velkaro

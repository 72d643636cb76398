#include "explorer/reportbatch/ReportBatchHost.h"

#include "common/TerminalPrompt.h"

namespace velkaro {

ReportBatchHost::ReportBatchHost(std::FILE* errors) : m_errors(errors)
{
    // The explorer's defaults, with the log entries of every loaded item left out.
    m_settings.lobj = false;
    m_settings.lcol = false;
    m_settings.lind = false;
}

CatalogNode ReportBatchHost::InsertObjectNode(CatalogNode, const ObjectName&, const QString&)
{
    return &m_node;
}

CatalogNode ReportBatchHost::InsertIndexNode(CatalogNode, const QString&)
{
    return &m_node;
}

void ReportBatchHost::WriteLog(const QString& message, bool)
{
    if (!message.startsWith(QLatin1String("ERROR: ")))
        return;
    std::fprintf(m_errors, "velkaro-report: warning: %s\n",
                 TerminalPrompt::Printable(message, true).toLocal8Bit().constData());
    std::fflush(m_errors);
}

} // namespace velkaro

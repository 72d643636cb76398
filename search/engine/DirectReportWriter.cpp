#include "search/engine/DirectReportWriter.h"

#include "search/engine/ReportDocument.h"

namespace velkaro {

void DirectReportWriter::OpenOutputFile()
{
    m_document.OpenOutputFile();
}

void DirectReportWriter::FinishOutput()
{
    m_document.FinishOutput();
}

void DirectReportWriter::ResetDocument(const ReportOptions& options)
{
    m_document.Reset(options);
}

void DirectReportWriter::Write(const QList<ReportPiece>& pieces, bool autoSaveCheck)
{
    m_document.Write(pieces, autoSaveCheck);
}

} // namespace velkaro

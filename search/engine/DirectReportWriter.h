#pragma once

#include "search/engine/ReportWriter.h"

namespace velkaro {

class ReportDocument;

// Writes straight into the document: for the document's own thread.
class DirectReportWriter final : public ReportWriter
{
public:
    explicit DirectReportWriter(ReportDocument& document) : m_document(document) {}

    void OpenOutputFile() override;
    void FinishOutput() override;

protected:
    void ResetDocument(const ReportOptions& options) override;
    void Write(const QList<ReportPiece>& pieces, bool autoSaveCheck) override;

private:
    ReportDocument& m_document;
};

} // namespace velkaro

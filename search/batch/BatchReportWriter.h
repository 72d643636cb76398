#pragma once

#include "search/engine/ReportWriter.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <utility>

class QIODevice;

namespace velkaro {

class ReportDocument;

// The report of a run without a window: the text goes to one stream byte for byte, as the
// complete-to-file output writes it, and, when a rich-text copy is wanted, also into a document.
// A failed write is kept as the reason and ends the writing to the stream; the caller ends the run.
class BatchReportWriter final : public ReportWriter
{
public:
    BatchReportWriter(QIODevice& text, ReportDocument* document);

    // Writes out what is buffered; false (with the reason kept) when the stream refused it.
    bool Flush();
    bool Failed() const { return !m_failure.isEmpty(); }
    const QString& Failure() const { return m_failure; }
    // Called once, when the stream first refuses a write.
    void SetFailureHandler(std::function<void()> handler) { m_onFailure = std::move(handler); }

    // The stream is opened and closed by the caller: there is no notice and no file of the run's own.
    void OpenOutputFile() override {}
    void FinishOutput() override { Flush(); }

protected:
    void ResetDocument(const ReportOptions& options) override;
    void Write(const QList<ReportPiece>& pieces, bool autoSaveCheck) override;

private:
    QIODevice& m_text;
    ReportDocument* m_document;
    QByteArray m_pending;
    QString m_failure;
    std::function<void()> m_onFailure;
};

} // namespace velkaro

#include "search/batch/BatchReportWriter.h"

#include "search/engine/ReportDocument.h"

#include <QIODevice>

namespace velkaro {

namespace {

// Matching rows are written piece by piece; gathering them keeps the system calls few.
constexpr qsizetype kFlushBytes = 64 * 1024;

} // namespace

BatchReportWriter::BatchReportWriter(QIODevice& text, ReportDocument* document)
    : m_text(text), m_document(document)
{}

void BatchReportWriter::ResetDocument(const ReportOptions&)
{
    // The document is only the rich-text copy: it never writes files of its own.
    if (m_document)
        m_document->Reset(ReportOptions{});
}

void BatchReportWriter::Write(const QList<ReportPiece>& pieces, bool)
{
    if (m_document)
        m_document->Write(pieces, false);
    if (Failed())
        return;
    for (const ReportPiece& piece : pieces)
        m_pending += piece.text.toUtf8();
    if (m_pending.size() >= kFlushBytes)
        Flush();
}

bool BatchReportWriter::Flush()
{
    if (Failed())
        return false;
    qsizetype done = 0;
    while (done < m_pending.size()) {
        const qint64 written = m_text.write(m_pending.constData() + done, m_pending.size() - done);
        if (written <= 0) {
            m_failure = m_text.errorString();
            if (m_onFailure)
                m_onFailure();
            break;
        }
        done += written;
    }
    m_pending.clear();
    return !Failed();
}

} // namespace velkaro

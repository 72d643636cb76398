#include "search/engine/QueuedReportWriter.h"

#include "search/engine/ReportDocument.h"

#include <QMetaObject>

namespace velkaro {

QueuedReportWriter::QueuedReportWriter(ReportDocument& document, QObject* parent)
    : QObject(parent), m_document(document)
{}

QueuedReportWriter::~QueuedReportWriter() = default;

void QueuedReportWriter::post(Call call)
{
    // The notice is posted under the lock that drain() takes first, so the event Qt allocates here
    // is seen to happen before drain() and its deletion, also by the thread sanitizer.
    const std::lock_guard lock(m_mutex);
    m_pending.push_back(std::move(call));
    if (m_drainPosted)
        return;
    // One notice for any number of calls; the calls themselves travel through the queue, whose
    // order is the order of the calls.
    m_drainPosted = true;
    QMetaObject::invokeMethod(this, "drain", Qt::QueuedConnection);
}

void QueuedReportWriter::drain()
{
    std::unique_lock lock(m_mutex);
    // A message box shown by a call runs the event loop; the drain already running keeps the order.
    if (m_draining)
        return;
    m_draining = true;
    for (;;) {
        std::deque<Call> batch;
        batch.swap(m_pending);
        if (batch.empty())
            break;
        lock.unlock();
        for (const Call& call : batch)
            call(m_document);
        lock.lock();
    }
    m_drainPosted = false;
    m_draining = false;
}

void QueuedReportWriter::OpenOutputFile()
{
    post([](ReportDocument& document) { document.OpenOutputFile(); });
}

void QueuedReportWriter::FinishOutput()
{
    post([](ReportDocument& document) { document.FinishOutput(); });
}

void QueuedReportWriter::resetDocument(const ReportOptions& options)
{
    post([options](ReportDocument& document) { document.Reset(options); });
}

void QueuedReportWriter::write(const QList<ReportPiece>& pieces, bool autoSaveCheck)
{
    post([pieces, autoSaveCheck](ReportDocument& document) { document.Write(pieces, autoSaveCheck); });
}

} // namespace velkaro

#include "search/engine/QueuedReportWriter.h"

#include "search/engine/ReportDocument.h"

#include <QMetaObject>
#include <QThread>

namespace velkaro {

QueuedReportWriter::QueuedReportWriter(ReportDocument& document, QObject* parent)
    : QObject(parent), m_document(document)
{}

QueuedReportWriter::~QueuedReportWriter() = default;

void QueuedReportWriter::Post(Call call)
{
    // The notice is posted under the lock that drain() takes first, so the event Qt allocates here
    // is seen to happen before drain() and its deletion, also by the thread sanitizer.
    std::unique_lock lock(m_mutex);
    // The document's own thread never waits for itself.
    if (thread() != QThread::currentThread())
        m_room.wait(lock, [this] { return m_pending.size() < kCapacity; });
    m_pending.push_back(std::move(call));
    // One notice for any number of calls; the calls themselves travel through the queue, whose
    // order is the order of the calls.
    if (!m_drainPosted)
        PostDrain();
}

void QueuedReportWriter::PostDrain()
{
    m_drainPosted = true;
    QMetaObject::invokeMethod(this, "Drain", Qt::QueuedConnection);
}

void QueuedReportWriter::Drain()
{
    std::unique_lock lock(m_mutex);
    m_drainPosted = false;
    // A message box shown by a call runs the event loop; the drain already running keeps the order
    // and posts the next turn itself.
    if (m_draining)
        return;
    RunPending(lock, std::chrono::steady_clock::now() + kTurnBudget, m_pending.size());
    if (!m_pending.empty() && !m_drainPosted)
        PostDrain();
}

void QueuedReportWriter::Flush()
{
    std::unique_lock lock(m_mutex);
    if (!m_draining)
        RunPending(lock, std::chrono::steady_clock::time_point::max(), m_pending.size());
}

void QueuedReportWriter::RunPending(std::unique_lock<std::mutex>& lock,
                                    std::chrono::steady_clock::time_point deadline, std::size_t count)
{
    m_draining = true;
    for (; count > 0 && !m_pending.empty() && std::chrono::steady_clock::now() < deadline; --count) {
        Call call = std::move(m_pending.front());
        m_pending.pop_front();
        m_room.notify_one();
        lock.unlock();
        call(m_document);
        lock.lock();
    }
    m_draining = false;
}

void QueuedReportWriter::OpenOutputFile()
{
    Post([](ReportDocument& document) { document.OpenOutputFile(); });
}

void QueuedReportWriter::FinishOutput()
{
    Post([](ReportDocument& document) { document.FinishOutput(); });
}

void QueuedReportWriter::ResetDocument(const ReportOptions& options)
{
    Post([options](ReportDocument& document) { document.Reset(options); });
}

void QueuedReportWriter::Write(const QList<ReportPiece>& pieces, bool autoSaveCheck)
{
    Post([pieces, autoSaveCheck](ReportDocument& document) { document.Write(pieces, autoSaveCheck); });
}

} // namespace velkaro

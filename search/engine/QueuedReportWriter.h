#pragma once

#include "search/engine/ReportWriter.h"

#include <QObject>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

namespace velkaro {

class ReportDocument;

// For a run's worker: every call is queued and carried out on the document's thread, in the
// order the calls were made. The queue is bounded: a caller waits while it is full, so the worker
// never runs far ahead of the window and never drops a line; whoever waits for the worker on the
// document's thread keeps its event loop turning. Each turn of that loop carries out calls for a
// short while only, so the window keeps answering. Create it on the document's thread; the
// document and this writer must outlive the thread that writes through it.
class QueuedReportWriter final : public QObject, public ReportWriter
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(QueuedReportWriter)

public:
    explicit QueuedReportWriter(ReportDocument& document, QObject* parent = nullptr);
    ~QueuedReportWriter() override;

    // A document write takes up to a quarter of a millisecond in a shown window: a full queue is
    // carried out within one turn's budget.
    static constexpr std::size_t kCapacity = 64;
    static constexpr std::chrono::milliseconds kTurnBudget{15};

    void OpenOutputFile() override;
    void FinishOutput() override;

    // On the document's thread: carries out every call queued so far, so that what comes next is
    // shown after the text written before it.
    void Flush();

protected:
    void ResetDocument(const ReportOptions& options) override;
    void Write(const QList<ReportPiece>& pieces, bool autoSaveCheck) override;

private slots:
    void Drain();

private:
    using Call = std::function<void(ReportDocument&)>;

    void Post(Call call);
    // Carries out queued calls until none is left, the deadline has passed or count calls are done
    // (a worker refills the queue meanwhile).
    void RunPending(std::unique_lock<std::mutex>& lock, std::chrono::steady_clock::time_point deadline,
                    std::size_t count);
    void PostDrain();

    ReportDocument& m_document;
    std::mutex m_mutex;
    std::condition_variable m_room;
    std::deque<Call> m_pending; // guarded by m_mutex
    bool m_drainPosted = false; // guarded by m_mutex
    bool m_draining = false;    // guarded by m_mutex
};

} // namespace velkaro

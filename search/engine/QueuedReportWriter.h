#pragma once

#include "search/engine/ReportWriter.h"

#include <QObject>
#include <deque>
#include <functional>
#include <mutex>

namespace velkaro {

class ReportDocument;

// For a run's worker: every call is queued and carried out on the document's thread, in the
// order the calls were made; the caller never waits. Create it on the document's thread; the
// document and this writer must outlive the thread that writes through it.
class QueuedReportWriter final : public QObject, public ReportWriter
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(QueuedReportWriter)

public:
    explicit QueuedReportWriter(ReportDocument& document, QObject* parent = nullptr);
    ~QueuedReportWriter() override;

    void OpenOutputFile() override;
    void FinishOutput() override;

protected:
    void resetDocument(const ReportOptions& options) override;
    void write(const QList<ReportPiece>& pieces, bool autoSaveCheck) override;

private slots:
    void drain();

private:
    using Call = std::function<void(ReportDocument&)>;

    void post(Call call);

    ReportDocument& m_document;
    std::mutex m_mutex;
    std::deque<Call> m_pending; // guarded by m_mutex
    bool m_drainPosted = false; // guarded by m_mutex
    bool m_draining = false;    // guarded by m_mutex
};

} // namespace velkaro

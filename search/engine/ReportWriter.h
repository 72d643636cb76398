#pragma once

#include "search/engine/ReportColor.h"
#include "search/engine/TextMatcher.h"

#include <QList>
#include <QtGlobal>
#include <atomic>

namespace velkaro {

struct ReportOptions;

// The report calls a run makes. Instances are counted here, on the caller's thread, so the total
// is exact when the run writes its summary whatever the document has carried out by then. The
// implementations decide how the writes reach the document.
class ReportWriter
{
    Q_DISABLE_COPY_MOVE(ReportWriter)

public:
    virtual ~ReportWriter() = default;

    // A run begins: the count starts again, the terms to highlight are taken, the text is emptied.
    void Reset(const SearchParameters& parameters);

    // The one primitive of report text; a write in the Instance colour counts one instance.
    void AppendReport(const QString& text, ReportColor color, bool bold = false, bool autoSaveCheck = false);
    // A line with every instance the match finds written bold in the Instance colour and counted.
    // The auto-save check, when asked for, follows the whole line.
    void AppendHighlighted(const QString& text, ReportColor color, bool bold = false,
                           bool autoSaveCheck = false);

    int InstanceCount() const { return m_instanceCount.load(); }

    // The complete-to-file output of a run.
    virtual void OpenOutputFile() = 0;
    // At the end of a run and at a stop.
    virtual void FinishOutput() = 0;

protected:
    ReportWriter() = default;

    virtual void ResetDocument(const ReportOptions& options) = 0;
    virtual void Write(const QList<ReportPiece>& pieces, bool autoSaveCheck) = 0;

private:
    std::atomic<int> m_instanceCount{0};
    TextMatcher m_matcher;
};

} // namespace velkaro

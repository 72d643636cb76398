#pragma once

#include "explorer/reports/ReportLineSink.h"

#include <QFont>
#include <QPainter>
#include <mutex>

class QPrinter;

namespace velkaro {

// The report on paper: fixed-pitch lines from row 4 of each page down to row linesPerPage - 1,
// eight blanks in from the left edge of the printable area, no wrapping (a long line is cut by the
// page). The font is H/66 device pixels high, H being the printable height; the line height comes
// from the font's metrics on the printer.
//
// Threads: the generator's thread opens the job and prints; the progress box's close box may
// finish the job from the interface thread at any moment. The two take turns on a mutex, and a
// line after the finish is refused, so nothing is ever painted on a finished job.
class ReportPrinterSink final : public ReportLineSink
{
public:
    static constexpr int kTopRows = 4;
    static constexpr int kRowsPerFontHeight = 66;

    // printer is set up (device, output file) by the caller and outlives the sink.
    explicit ReportPrinterSink(QPrinter& printer);
    ~ReportPrinterSink() override;
    ReportPrinterSink(const ReportPrinterSink&) = delete;
    ReportPrinterSink& operator=(const ReportPrinterSink&) = delete;

    bool Open(UserPrompt& prompt) override;
    bool EmitLine(const QString& text, bool bold) override;
    void SetTitleSpacing(bool on) override;
    void EndCurrentPage() override;
    bool Close(UserPrompt& prompt) override;
    // Ends the document at once; does nothing when already done. Any thread.
    void FinishJob();

    int LineHeight() const { return m_lineHeight; }
    int LinesPerPage() const { return m_linesPerPage; }

private:
    bool StartPage();

    QPrinter& m_printer;
    QPainter m_painter;
    QFont m_normal;
    QFont m_bold;
    int m_lineHeight = 1;
    int m_ascent = 0;
    int m_linesPerPage = 0;
    int m_currentRow = kTopRows;
    int m_pagesStarted = 0;
    bool m_pageEnded = true;
    bool m_jobFinished = true;
    std::mutex m_mutex;
};

} // namespace velkaro

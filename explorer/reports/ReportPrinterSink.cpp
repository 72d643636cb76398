#include "explorer/reports/ReportPrinterSink.h"

#include "common/UserPrompt.h"

#include <QFontMetrics>
#include <QPrinter>

namespace velkaro {

namespace {
constexpr int kTitleLetterSpacing = 10;
const QString kLeftIndent = QStringLiteral("        ");

QFont courier(int pixelHeight, int weight)
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPixelSize(qMax(1, pixelHeight));
    font.setWeight(QFont::Weight(weight));
    return font;
}
} // namespace

ReportPrinterSink::ReportPrinterSink(QPrinter& printer) : m_printer(printer)
{}

ReportPrinterSink::~ReportPrinterSink()
{
    FinishJob();
}

bool ReportPrinterSink::Open(UserPrompt& prompt)
{
    std::lock_guard lock(m_mutex);
    m_printer.setDocName(QStringLiteral("Velkaro Report"));
    if (!m_painter.begin(&m_printer)) {
        prompt.ShowMessage(QStringLiteral("Could not communicate with printer device."));
        prompt.ShowMessage(QStringLiteral("Error opening printer device"));
        return false;
    }
    m_jobFinished = false;
    const int pageHeight = m_printer.height();
    m_normal = courier(pageHeight / kRowsPerFontHeight, QFont::Normal);
    m_bold = courier(pageHeight / kRowsPerFontHeight, QFont::Bold);
    const QFontMetrics metrics(m_normal, &m_printer);
    m_lineHeight = qMax(1, metrics.lineSpacing());
    m_ascent = metrics.ascent();
    m_linesPerPage = pageHeight / m_lineHeight - kTopRows;
    if (m_linesPerPage <= kTopRows) {
        // A page too small for one line: nothing sensible can be printed on it.
        m_painter.end();
        m_jobFinished = true;
        prompt.ShowMessage(QStringLiteral("Error opening printer device"));
        return false;
    }
    m_pageEnded = true;
    return true;
}

bool ReportPrinterSink::StartPage()
{
    // The painter opened the first page; every later one follows an ended page.
    if (m_pagesStarted > 0 && !m_printer.newPage())
        return false;
    ++m_pagesStarted;
    m_pageEnded = false;
    m_currentRow = kTopRows;
    return true;
}

bool ReportPrinterSink::EmitLine(const QString& text, bool bold)
{
    std::lock_guard lock(m_mutex);
    if (m_jobFinished)
        return false;
    if (m_pageEnded && !StartPage())
        return false;
    const QFont& font = bold ? m_bold : m_normal;
    m_painter.setFont(font);
    m_painter.drawText(0, m_currentRow * m_lineHeight + m_ascent, kLeftIndent + text);
    ++m_currentRow;
    if (m_currentRow >= m_linesPerPage)
        m_pageEnded = true;
    return true;
}

void ReportPrinterSink::SetTitleSpacing(bool on)
{
    std::lock_guard lock(m_mutex);
    const qreal spacing = on ? kTitleLetterSpacing : 0;
    m_normal.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
    m_bold.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
}

void ReportPrinterSink::EndCurrentPage()
{
    std::lock_guard lock(m_mutex);
    m_pageEnded = true;
}

bool ReportPrinterSink::Close(UserPrompt&)
{
    FinishJob();
    return true;
}

void ReportPrinterSink::FinishJob()
{
    std::lock_guard lock(m_mutex);
    if (m_jobFinished)
        return;
    m_jobFinished = true;
    m_painter.end();
}

} // namespace velkaro

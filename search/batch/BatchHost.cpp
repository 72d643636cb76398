#include "search/batch/BatchHost.h"

#include "common/TerminalPrompt.h"

namespace velkaro {

namespace {

const char* const kFinishedMessage = "Zindrel has finished searching the database";
constexpr qsizetype kObjectShown = 40;

} // namespace

BatchHost::BatchHost(std::FILE* errors, bool showProgress, UserPrompt& prompt)
    : m_errors(errors), m_showProgress(showProgress), m_prompt(prompt)
{}

void BatchHost::SetTitle(const QString& title)
{
    m_title = title;
    Redraw();
}

void BatchHost::SetProgressRange(SearchProgressBar bar, int maximum)
{
    m_bars[size_t(bar)] = {0, maximum};
    m_current = bar;
    Redraw();
}

void BatchHost::StepProgress(SearchProgressBar bar)
{
    Bar& state = m_bars[size_t(bar)];
    state.position = qMin(state.position + 1, state.maximum);
    m_current = bar;
    Redraw();
}

void BatchHost::FinishProgress(SearchProgressBar bar)
{
    Bar& state = m_bars[size_t(bar)];
    state.position = state.maximum;
    Redraw();
}

void BatchHost::SetObjectList(const QStringList&)
{}

void BatchHost::SelectObject(const QString& name)
{
    m_object = name;
    Redraw();
}

void BatchHost::ShowMessage(const QString& text)
{
    if (text == QLatin1String(kFinishedMessage))
        return;
    ClearLine();
    m_prompt.ShowMessage(text);
}

void BatchHost::CommandStateChanged()
{}

void BatchHost::RunEnded()
{
    ClearLine();
}

void BatchHost::Redraw()
{
    if (!m_showProgress)
        return;
    const Bar& bar = m_bars[size_t(m_current)];
    QString line = m_title;
    if (bar.maximum > 0)
        line += QStringLiteral("  %1/%2").arg(bar.position).arg(bar.maximum);
    if (!m_object.isEmpty())
        line += QStringLiteral("  ") + (m_object.size() > kObjectShown
                                            ? m_object.left(kObjectShown - 3) + QStringLiteral("...")
                                            : m_object);
    // Back to the start of the line and clear what a longer line left.
    std::fprintf(m_errors, "\r%s\033[K", TerminalPrompt::Printable(line, false).toLocal8Bit().constData());
    std::fflush(m_errors);
    m_lineShown = true;
}

void BatchHost::ClearLine()
{
    if (!m_lineShown)
        return;
    std::fprintf(m_errors, "\r\033[K");
    std::fflush(m_errors);
    m_lineShown = false;
}

} // namespace velkaro

#include "search/batch/BatchHost.h"

#include "search/batch/BatchPrompt.h"

namespace velkaro {

namespace {

const char* const kFinishedMessage = "Zindrel has finished searching the database";
constexpr qsizetype kObjectShown = 40;

} // namespace

BatchHost::BatchHost(std::FILE* errors, bool showProgress, UserPrompt& prompt)
    : m_errors(errors), m_showProgress(showProgress), m_prompt(prompt)
{}

void BatchHost::setTitle(const QString& title)
{
    m_title = title;
    redraw();
}

void BatchHost::setProgressRange(SearchProgressBar bar, int maximum)
{
    m_bars[size_t(bar)] = {0, maximum};
    m_current = bar;
    redraw();
}

void BatchHost::stepProgress(SearchProgressBar bar)
{
    Bar& state = m_bars[size_t(bar)];
    state.position = qMin(state.position + 1, state.maximum);
    m_current = bar;
    redraw();
}

void BatchHost::finishProgress(SearchProgressBar bar)
{
    Bar& state = m_bars[size_t(bar)];
    state.position = state.maximum;
    redraw();
}

void BatchHost::setObjectList(const QStringList&)
{}

void BatchHost::selectObject(const QString& name)
{
    m_object = name;
    redraw();
}

void BatchHost::showMessage(const QString& text)
{
    if (text == QLatin1String(kFinishedMessage))
        return;
    clearLine();
    m_prompt.showMessage(text);
}

void BatchHost::commandStateChanged()
{}

void BatchHost::runEnded()
{
    clearLine();
}

void BatchHost::redraw()
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
    std::fprintf(m_errors, "\r%s\033[K", BatchPrompt::Printable(line, false).toLocal8Bit().constData());
    std::fflush(m_errors);
    m_lineShown = true;
}

void BatchHost::clearLine()
{
    if (!m_lineShown)
        return;
    std::fprintf(m_errors, "\r\033[K");
    std::fflush(m_errors);
    m_lineShown = false;
}

} // namespace velkaro

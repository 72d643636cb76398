#include "explorer/shell/StatusLine.h"

#include <QStatusBar>

namespace velkaro {

StatusLine::StatusLine(QStatusBar* bar) : QObject(bar), m_bar(bar)
{
    connect(m_bar, &QStatusBar::messageChanged, this, &StatusLine::Restore);
    m_bar->showMessage(IdleText());
}

QString StatusLine::IdleText() const
{
    return m_loadStatus.isEmpty() ? QStringLiteral("Ready") : m_loadStatus;
}

void StatusLine::ShowLoadStatus(const QString& text)
{
    // A command's prompt in the pane stays until its menu closes.
    const bool showingIdle = m_bar->currentMessage().isEmpty() || m_bar->currentMessage() == IdleText();
    m_loadStatus = text;
    if (showingIdle)
        m_bar->showMessage(IdleText());
}

void StatusLine::Restore(const QString& message)
{
    if (message.isEmpty())
        m_bar->showMessage(IdleText());
}

} // namespace velkaro

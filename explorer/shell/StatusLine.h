#pragma once

#include <QObject>
#include <QString>

class QStatusBar;

namespace velkaro {

// The status bar's message pane: what is loading while a load runs, "Ready" otherwise. A command's
// prompt shown while a menu is open replaces it for as long as the menu is open; when the prompt
// goes, the pane shows the load or "Ready" again instead of staying blank.
class StatusLine final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StatusLine)

public:
    explicit StatusLine(QStatusBar* bar);

    // Empty when no load runs.
    void ShowLoadStatus(const QString& text);
    QString IdleText() const;

private:
    void Restore(const QString& message);

    QStatusBar* m_bar;
    QString m_loadStatus;
};

} // namespace velkaro

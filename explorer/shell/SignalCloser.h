#pragma once

#include "common/SignalForwarder.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace velkaro {

// Turns SIGTERM, SIGINT and SIGHUP into a close of the main window, as if its close box had been
// pressed, so that the settings, the reconnect list and the log's last line are written. Modal
// dialogs and popups are closed first and the window closes once their event loops have
// returned, so nothing that a dialog's caller still uses is torn down under it.
class SignalCloser final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SignalCloser)

public:
    // Installed before the window exists, so that no signal in between ends the process untidily.
    explicit SignalCloser(QWidget* window = nullptr, QObject* parent = nullptr);

    // The window to close; a signal that came before it is acted on now.
    void SetWindow(QWidget* window);

    // False when the socket pair or a handler could not be set up.
    bool IsInstalled() const { return m_forwarder.IsInstalled(); }
    int LastSignal() const { return m_lastSignal; }

signals:
    // A signal arrived: from now on nothing may wait for the user.
    void EndRequested();

private:
    void OnSignal(int number);
    void CloseWhenUnwound();

    QPointer<QWidget> m_window;
    SignalForwarder m_forwarder;
    QTimer m_retry;
    int m_lastSignal = 0;
};

} // namespace velkaro

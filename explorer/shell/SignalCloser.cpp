#include "explorer/shell/SignalCloser.h"

#include <QApplication>
#include <QDialog>
#include <QThread>

namespace velkaro {

SignalCloser::SignalCloser(QWidget* window, QObject* parent) : QObject(parent), m_window(window)
{
    m_retry.setInterval(50);
    connect(&m_retry, &QTimer::timeout, this, &SignalCloser::CloseWhenUnwound);
    connect(&m_forwarder, &SignalForwarder::Received, this, &SignalCloser::OnSignal);
}

void SignalCloser::SetWindow(QWidget* window)
{
    m_window = window;
    if (m_lastSignal != 0)
        m_retry.start();
}

void SignalCloser::OnSignal(int number)
{
    m_lastSignal = number;
    emit EndRequested();
    CloseWhenUnwound();
}

void SignalCloser::CloseWhenUnwound()
{
    bool closedOne = false;
    if (QWidget* popup = QApplication::activePopupWidget()) {
        popup->close();
        closedOne = true;
    }
    if (QWidget* modal = QApplication::activeModalWidget()) {
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
        closedOne = true;
    }
    // A dialog's exec() returns only once control is back in its own loop: close on a later turn,
    // from the main loop.
    // Before the window is there (start-up asking for a password, say) the dialogs are answered
    // with Cancel until start-up is done, and the window closes then.
    if (closedOne || m_window.isNull() || QThread::currentThread()->loopLevel() > 1) {
        m_retry.start();
        return;
    }
    m_retry.stop();
    m_window->close();
}

} // namespace velkaro

#include "apps/velkaro/SignalCloser.h"

#include <QApplication>
#include <QDialog>
#include <QSocketNotifier>
#include <QThread>
#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace velkaro {

namespace {

constexpr std::array kSignals{SIGTERM, SIGINT, SIGHUP};
// Written by the handler only; one pair per process.
int g_signalSocket[2] = {-1, -1};

extern "C" void forwardSignal(int number)
{
    const int saved = errno;
    const char byte = static_cast<char>(number);
    [[maybe_unused]] const ssize_t written = ::write(g_signalSocket[0], &byte, 1);
    errno = saved;
}

} // namespace

SignalCloser::SignalCloser(QWidget* window, QObject* parent) : QObject(parent), m_window(window)
{
    m_retry.setInterval(50);
    connect(&m_retry, &QTimer::timeout, this, &SignalCloser::closeWhenUnwound);
    if (g_signalSocket[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalSocket) != 0)
        return;
    ::fcntl(g_signalSocket[0], F_SETFL, ::fcntl(g_signalSocket[0], F_GETFL) | O_NONBLOCK);
    ::fcntl(g_signalSocket[1], F_SETFL, ::fcntl(g_signalSocket[1], F_GETFL) | O_NONBLOCK);

    struct sigaction action = {};
    action.sa_handler = forwardSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : kSignals) {
        if (::sigaction(number, &action, nullptr) != 0)
            return;
    }
    m_notifier = new QSocketNotifier(g_signalSocket[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalCloser::readSignal);
}

SignalCloser::~SignalCloser()
{
    if (m_notifier == nullptr)
        return;
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (const int number : kSignals)
        ::sigaction(number, &action, nullptr);
}

void SignalCloser::setWindow(QWidget* window)
{
    m_window = window;
    if (m_lastSignal != 0)
        m_retry.start();
}

void SignalCloser::readSignal()
{
    char byte = 0;
    while (::read(g_signalSocket[1], &byte, 1) == 1)
        m_lastSignal = byte;
    closeWhenUnwound();
}

void SignalCloser::closeWhenUnwound()
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

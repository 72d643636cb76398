#include "common/SignalForwarder.h"

#include <QSocketNotifier>
#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace velkaro {

namespace {

constexpr std::array kSignals{SIGTERM, SIGINT, SIGHUP};
// [0] is written by the handler, [1] read by the event loop.
int g_signalSockets[2] = {-1, -1};

extern "C" void forwardSignal(int number)
{
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const ssize_t written = ::write(g_signalSockets[0], &byte, 1);
    errno = savedErrno;
}

void setHandlers(void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : kSignals)
        ::sigaction(number, &action, nullptr);
}

bool setNonBlocking(int socket)
{
    const int flags = ::fcntl(socket, F_GETFL);
    return flags >= 0 && ::fcntl(socket, F_SETFL, flags | O_NONBLOCK) == 0;
}

void closeSockets()
{
    for (int& socket : g_signalSockets) {
        if (socket >= 0)
            ::close(socket);
        socket = -1;
    }
}

} // namespace

SignalForwarder::SignalForwarder(QObject* parent) : QObject(parent)
{
    if (g_signalSockets[0] >= 0)
        return;
    m_ownsSockets = true;
    if (!Install()) {
        setHandlers(SIG_DFL);
        closeSockets();
        m_ownsSockets = false;
    }
}

SignalForwarder::~SignalForwarder()
{
    if (!m_ownsSockets)
        return;
    setHandlers(SIG_DFL);
    delete m_notifier;
    m_notifier = nullptr;
    closeSockets();
}

bool SignalForwarder::Install()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalSockets) != 0) {
        g_signalSockets[0] = g_signalSockets[1] = -1;
        return false;
    }
    // A burst of signals must never block the handler, and the loop reads until the pair is empty.
    if (!setNonBlocking(g_signalSockets[0]) || !setNonBlocking(g_signalSockets[1]))
        return false;
    struct sigaction action = {};
    action.sa_handler = forwardSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : kSignals) {
        if (::sigaction(number, &action, nullptr) != 0)
            return false;
    }
    m_notifier = new QSocketNotifier(g_signalSockets[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalForwarder::ReadSignals);
    return true;
}

void SignalForwarder::ReadSignals()
{
    unsigned char byte = 0;
    while (::read(g_signalSockets[1], &byte, 1) == 1)
        emit Received(byte);
}

} // namespace velkaro

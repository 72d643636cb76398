#include "common/TerminalPrompt.h"

#include <QByteArray>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace velkaro {

namespace {

// The controlling terminal, opened for the one question and closed again.
class Terminal final
{
public:
    Terminal() : m_fd(::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC)) {}
    ~Terminal()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    bool IsOpen() const { return m_fd >= 0 && ::isatty(m_fd); }

    void Say(const QByteArray& text) const
    {
        qsizetype done = 0;
        while (done < text.size()) {
            const ssize_t written = ::write(m_fd, text.constData() + done, size_t(text.size() - done));
            if (written <= 0)
                return;
            done += written;
        }
    }

    // One line, with echo off when secret; nullopt at end of input.
    std::optional<QByteArray> ReadLine(bool secret) const
    {
        termios saved{};
        const bool echoOff = secret && ::tcgetattr(m_fd, &saved) == 0;
        if (echoOff) {
            termios quiet = saved;
            quiet.c_lflag &= ~tcflag_t(ECHO);
            quiet.c_lflag |= ECHONL;
            ::tcsetattr(m_fd, TCSAFLUSH, &quiet);
        }
        QByteArray line;
        bool ended = false;
        for (;;) {
            char c = 0;
            const ssize_t got = ::read(m_fd, &c, 1);
            if (got <= 0) {
                ended = line.isEmpty();
                break;
            }
            if (c == '\n')
                break;
            line += c;
        }
        if (echoOff)
            ::tcsetattr(m_fd, TCSAFLUSH, &saved);
        if (ended)
            return std::nullopt;
        return line;
    }

private:
    int m_fd;
};

} // namespace

QString TerminalPrompt::Printable(QString text, bool keepLineBreaks)
{
    for (QChar& c : text) {
        const bool lineBreak = c == QLatin1Char('\n') || c == QLatin1Char('\t');
        if (c.category() == QChar::Other_Control && !(keepLineBreaks && lineBreak))
            c = QLatin1Char('?');
    }
    return text;
}

void TerminalPrompt::ShowMessage(const QString& text)
{
    std::fprintf(m_errors, "%s: %s\n", m_program.toLocal8Bit().constData(),
                 Printable(text, true).toLocal8Bit().constData());
    std::fflush(m_errors);
}

bool TerminalPrompt::AskYesNo(const QString& text)
{
    ShowMessage(text);
    return false;
}

std::optional<SaveFileChoice> TerminalPrompt::ChooseSaveFile(const SaveFileRequest&)
{
    return std::nullopt;
}

std::optional<QString> TerminalPrompt::ChooseDataSource()
{
    return std::nullopt;
}

std::optional<LoginAnswer> TerminalPrompt::AskLogin(const LoginRequest& request)
{
    const Terminal terminal;
    if (!terminal.IsOpen())
        return std::nullopt;
    if (!request.problem.isEmpty())
        terminal.Say(request.problem.toLocal8Bit() + '\n');
    QString user = request.user;
    if (user.isEmpty()) {
        terminal.Say("User for " + request.dataSource.toLocal8Bit() + ": ");
        const std::optional<QByteArray> typed = terminal.ReadLine(false);
        if (!typed)
            return std::nullopt;
        user = QString::fromLocal8Bit(*typed);
    }
    terminal.Say("Password for " + user.toLocal8Bit() + "@" + request.dataSource.toLocal8Bit() + ": ");
    std::optional<QByteArray> password = terminal.ReadLine(true);
    if (!password)
        return std::nullopt;
    LoginAnswer answer{user, QString::fromLocal8Bit(*password)};
    password->fill('\0');
    return answer;
}

} // namespace velkaro

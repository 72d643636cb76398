#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <thread>

class QObject;

namespace velkaro {

// Reads a log file in a thread of its own and hands what it finds to the interface thread as
// queued calls on a receiver, a batch of lines at a time, so a long log never blocks the window.
// The worker never touches the receiver itself; once detached, it posts nothing more and stops
// before its next line.
class LoadLogThread final
{
public:
    struct Handlers
    {
        std::function<void(const QString& path)> openFailed;
        std::function<void(const QString& fullPath)> opened;
        std::function<void(const QStringList& lines)> lines;
    };

    LoadLogThread(const QString& path, QObject* receiver, Handlers handlers);
    // Detaches; joins a worker that has finished, lets a stuck one run out on its own.
    ~LoadLogThread();
    LoadLogThread(const LoadLogThread&) = delete;
    LoadLogThread& operator=(const LoadLogThread&) = delete;

    void detach();
    bool isLoading() const;

    struct State;

private:
    static void run(const std::shared_ptr<State>& state);

    std::shared_ptr<State> m_state;
    std::thread m_thread;
};

} // namespace velkaro

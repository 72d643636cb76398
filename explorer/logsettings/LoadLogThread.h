#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <thread>

namespace velkaro {

// Reads a log file in a thread of its own, a batch of lines at a time, so a long log never
// blocks the window. The reader touches no widget and calls nothing of Qt's event machinery:
// it leaves what it finds in a guarded queue that the interface thread empties with take().
// Once detached, it stops before its next line.
class LoadLogThread final
{
public:
    // What the reader has found since the last take().
    struct Delivery
    {
        std::optional<QString> openFailed; // the path that could not be opened
        std::optional<QString> opened;     // the full path of the file being read
        QStringList lines;
        bool finished = false; // nothing more will come
    };

    explicit LoadLogThread(const QString& path);
    // Detaches; joins a reader that has finished, lets a stuck one run out on its own.
    ~LoadLogThread();
    LoadLogThread(const LoadLogThread&) = delete;
    LoadLogThread& operator=(const LoadLogThread&) = delete;

    // Interface thread: takes the news and at most one batch of lines.
    Delivery Take();
    void Detach();
    // True until the reader thread has let go of the file.
    bool IsLoading() const;

    struct State;

private:
    static void Run(const std::shared_ptr<State>& state);

    std::shared_ptr<State> m_state;
    std::thread m_thread;
};

} // namespace velkaro

#include "explorer/logsettings/dialogs/LoadLogThread.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QObject>
#include <atomic>
#include <chrono>
#include <mutex>

namespace velkaro {

namespace {
constexpr int kBatchLines = 500;
// Batches posted but not yet shown; the reader waits beyond this so the window keeps up.
constexpr int kBatchesInFlight = 2;
} // namespace

struct LoadLogThread::State
{
    QString path;
    Handlers handlers;
    std::atomic<bool> attached{true};
    std::atomic<bool> loading{true};
    std::atomic<int> batchesInFlight{0};
    std::mutex receiverMutex;
    QObject* receiver = nullptr; // guarded by receiverMutex; null once detached
};

namespace {
// Queues call on the interface thread unless the receiver has gone. The call itself is dropped
// when the loader was detached after posting it, so a stopped load adds nothing more.
bool post(const std::shared_ptr<LoadLogThread::State>& state, std::function<void()> call)
{
    const std::lock_guard<std::mutex> lock(state->receiverMutex);
    if (state->receiver == nullptr)
        return false;
    QMetaObject::invokeMethod(
        state->receiver,
        [state, call = std::move(call)] {
            if (state->attached.load())
                call();
        },
        Qt::QueuedConnection);
    return true;
}

bool postLines(const std::shared_ptr<LoadLogThread::State>& state, const QStringList& lines)
{
    while (state->batchesInFlight.load() >= kBatchesInFlight && state->attached.load())
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    ++state->batchesInFlight;
    return post(state, [state, lines] {
        --state->batchesInFlight;
        state->handlers.lines(lines);
    });
}
} // namespace

LoadLogThread::LoadLogThread(const QString& path, QObject* receiver, Handlers handlers)
    : m_state(std::make_shared<State>())
{
    m_state->path = path;
    m_state->handlers = std::move(handlers);
    m_state->receiver = receiver;
    m_thread = std::thread(&LoadLogThread::run, m_state);
}

LoadLogThread::~LoadLogThread()
{
    detach();
    if (m_state->loading.load())
        m_thread.detach(); // it holds its own share of the state and ends before its next line
    else
        m_thread.join();
}

void LoadLogThread::detach()
{
    m_state->attached = false;
    const std::lock_guard<std::mutex> lock(m_state->receiverMutex);
    m_state->receiver = nullptr;
}

bool LoadLogThread::isLoading() const
{
    return m_state->loading.load();
}

void LoadLogThread::run(const std::shared_ptr<State>& state)
{
    QFile file(state->path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        post(state, [state] { state->handlers.openFailed(state->path); });
        state->loading = false;
        return;
    }
    const QString fullPath = QFileInfo(file).absoluteFilePath();
    post(state, [state, fullPath] { state->handlers.opened(fullPath); });

    QStringList batch;
    bool receiving = true;
    while (receiving && state->attached.load() && !file.atEnd()) {
        QString line = QString::fromUtf8(file.readLine());
        if (line.endsWith(QLatin1Char('\n')))
            line.chop(1);
        batch.append(line);
        if (batch.size() >= kBatchLines) {
            receiving = postLines(state, batch);
            batch.clear();
        }
    }
    if (receiving && !batch.isEmpty() && state->attached.load())
        postLines(state, batch);
    state->loading = false;
}

} // namespace velkaro

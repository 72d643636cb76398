#include "explorer/logsettings/LoadLogThread.h"

#include <QFile>
#include <QFileInfo>
#include <atomic>
#include <chrono>
#include <deque>
#include <mutex>

namespace velkaro {

namespace {
constexpr int kBatchLines = 500;
// Batches read but not yet taken; the reader waits beyond this so memory stays small.
constexpr std::size_t kBatchesWaiting = 8;
} // namespace

struct LoadLogThread::State
{
    QString path;
    std::atomic<bool> attached{true};
    std::atomic<bool> loading{true};

    std::mutex mutex; // guards the members below
    std::optional<QString> openFailed;
    std::optional<QString> opened;
    std::deque<QStringList> batches;
    bool finished = false;

    void Deliver(QStringList lines)
    {
        while (attached.load()) {
            {
                const std::lock_guard<std::mutex> lock(mutex);
                if (batches.size() < kBatchesWaiting) {
                    batches.push_back(std::move(lines));
                    return;
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

    void Finish()
    {
        {
            const std::lock_guard<std::mutex> lock(mutex);
            finished = true;
        }
        loading = false;
    }
};

LoadLogThread::LoadLogThread(const QString& path) : m_state(std::make_shared<State>())
{
    m_state->path = path;
    m_thread = std::thread(&LoadLogThread::Run, m_state);
}

LoadLogThread::~LoadLogThread()
{
    Detach();
    if (m_state->loading.load())
        m_thread.detach(); // it holds its own share of the state
    else
        m_thread.join();
}

LoadLogThread::Delivery LoadLogThread::Take()
{
    const std::lock_guard<std::mutex> lock(m_state->mutex);
    Delivery delivery;
    delivery.openFailed = std::exchange(m_state->openFailed, std::nullopt);
    delivery.opened = std::exchange(m_state->opened, std::nullopt);
    if (!m_state->batches.empty()) {
        delivery.lines = std::move(m_state->batches.front());
        m_state->batches.pop_front();
    }
    delivery.finished = m_state->finished && m_state->batches.empty();
    return delivery;
}

void LoadLogThread::Detach()
{
    m_state->attached = false;
}

bool LoadLogThread::IsLoading() const
{
    return m_state->loading.load();
}

void LoadLogThread::Run(const std::shared_ptr<State>& state)
{
    QFile file(state->path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        const std::lock_guard<std::mutex> lock(state->mutex);
        state->openFailed = state->path;
    } else {
        {
            const std::lock_guard<std::mutex> lock(state->mutex);
            state->opened = QFileInfo(file).absoluteFilePath();
        }
        QStringList batch;
        while (state->attached.load() && !file.atEnd()) {
            QString line = QString::fromUtf8(file.readLine());
            if (line.endsWith(QLatin1Char('\n')))
                line.chop(1);
            batch.append(line);
            if (batch.size() >= kBatchLines)
                state->Deliver(std::exchange(batch, QStringList()));
        }
        if (!batch.isEmpty())
            state->Deliver(std::move(batch));
        file.close();
    }
    state->Finish();
}

} // namespace velkaro

#include "explorer/core/WorkerThreads.h"

#include <system_error>
#include <thread>

namespace velkaro {

namespace {
void launchDetached(std::function<void()> body)
{
    std::thread(std::move(body)).detach();
}

// Counts a thread as live from before it is created until its body has returned (or thrown).
class LiveThreadMark final
{
public:
    explicit LiveThreadMark(std::shared_ptr<std::atomic<int>> count) : m_count(std::move(count)) {}
    ~LiveThreadMark() { m_count->fetch_sub(1); }
    LiveThreadMark(const LiveThreadMark&) = delete;
    LiveThreadMark& operator=(const LiveThreadMark&) = delete;

private:
    std::shared_ptr<std::atomic<int>> m_count;
};
} // namespace

WorkerThreads::WorkerThreads() : m_launcher(&launchDetached)
{}

WorkerThreads::WorkerThreads(Launcher launcher) : m_launcher(std::move(launcher))
{}

bool WorkerThreads::Start(std::function<void()> body)
{
    m_live->fetch_add(1);
    auto counted = [live = m_live, body = std::move(body)] {
        LiveThreadMark count(live);
        body();
    };
    try {
        m_launcher(std::move(counted));
    } catch (const std::system_error&) {
        m_live->fetch_sub(1);
        return false;
    }
    ++m_started;
    return true;
}

} // namespace velkaro

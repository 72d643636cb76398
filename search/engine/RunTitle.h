#pragma once

#include <QString>
#include <mutex>

namespace velkaro {

class SearchHost;

// The main window's title during a run. Pause shows "Paused - Zindrel" and keeps the title it
// replaced; a phase that begins while paused changes only the kept title, so Resume shows where
// the run really is.
class RunTitle final
{
public:
    explicit RunTitle(SearchHost& host) : m_host(host) {}

    void Set(const QString& title);
    // False when already paused.
    bool Pause();
    // False when not paused.
    bool Resume();
    // A stop carried out while paused: the next title is shown, nothing is restored.
    void ForgetPause();

    static QString Of(const QString& state) { return state + QStringLiteral(" - Zindrel"); }

private:
    SearchHost& m_host;
    std::mutex m_mutex;
    QString m_shown;       // guarded by m_mutex
    QString m_saved;       // guarded by m_mutex
    bool m_paused = false; // guarded by m_mutex
};

} // namespace velkaro

#pragma once

#include "search/engine/SearchHost.h"

#include <QStringList>
#include <condition_variable>
#include <functional>
#include <mutex>

namespace velkaro::test {

// Records what a run tells its program. Safe to call from the run's thread and to read from the
// test's; a gate can hold the run at one call until the test lets it go.
class RecordingSearchHost final : public SearchHost
{
public:
    void SetTitle(const QString& title) override;
    void SetProgressRange(SearchProgressBar bar, int maximum) override;
    void StepProgress(SearchProgressBar bar) override;
    void FinishProgress(SearchProgressBar bar) override;
    void SetObjectList(const QStringList& names) override;
    void SelectObject(const QString& name) override;
    void ShowMessage(const QString& text) override;
    void CommandStateChanged() override {}
    void RunEnded() override;

    QStringList titles() const;
    // Where the bar stands: its steps since its range was set, or its range once finished.
    int progress(SearchProgressBar bar) const;
    QStringList messages() const;
    QStringList objectList() const;
    QString lastTitle() const;
    int runsEnded() const;

    // Holds the run at the first selectObject(name) made while title is shown, until release().
    void holdAt(const QString& title, const QString& name);
    // Waits until the run is held; false on timeout.
    bool waitUntilHeld(int milliseconds = 10000);
    void release();
    // Throws std::bad_alloc from the first selectObject(name) made while title is shown.
    void failAt(const QString& title, const QString& name);

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    QStringList m_titles;
    QStringList m_messages;
    QStringList m_objectList;
    int m_runsEnded = 0;
    int m_progress[4] = {};
    int m_maximum[4] = {};
    QString m_holdTitle;
    QString m_holdName;
    bool m_held = false;
    bool m_released = false;
    QString m_failTitle;
    QString m_failName;
};

} // namespace velkaro::test

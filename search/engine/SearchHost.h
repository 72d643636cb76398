#pragma once

#include <QString>
#include <QStringList>

namespace velkaro {

// The four progress bars of the Control Panel.
enum class SearchProgressBar
{
    Objects,
    ColumnsAndTypes,
    Indexes,
    Data
};

// What a run reports to its program. Called from the run's worker thread (or the calling thread
// for RunSearch), and setTitle also from the thread that pauses and resumes; implementations post
// to their interface thread and never block the caller waiting for a user answer, except
// showMessage, which a program may carry out asynchronously.
class SearchHost
{
public:
    virtual ~SearchHost() = default;

    virtual void SetTitle(const QString& title) = 0; // "Searching Data - Zindrel" ...
    virtual void SetProgressRange(SearchProgressBar bar, int maximum) = 0;
    virtual void StepProgress(SearchProgressBar bar) = 0;
    // Puts a bar at its maximum when a phase ends, also where it stepped fewer times than its range.
    virtual void FinishProgress(SearchProgressBar bar) { (void)bar; }
    virtual void SetObjectList(const QStringList& names) = 0; // the Control Panel's list box
    virtual void SelectObject(const QString& name) = 0;
    virtual void ShowMessage(const QString& text) = 0; // message boxes of the run
    virtual void CommandStateChanged() = 0;            // running/paused/data phase changed
    virtual void RunEnded() = 0;                       // last call of a run, after the summary
};

} // namespace velkaro

#pragma once

#include "search/batch/BatchOptions.h"

#include <cstdio>

class QFile;

namespace velkaro {

class CDbSession;
class StopSignals;
class UserPrompt;

// The exit statuses of zindrel-batch.
enum class BatchExit : int
{
    Found = 0,           // at least one instance (a warning tells of objects that could not be searched)
    NotFound = 1,        // none, and every object taking part was searched
    Error = 2,           // bad options, an object name or search text that cannot be searched, no
                         // connection, a file that cannot be written, a stopped run
    NotFoundWithGaps = 3 // none, but some object failed and was not searched to the end
};

// One search from the command line: opens the output files, connects, runs the search on the
// calling thread and writes the reports. Everything the user should hear of goes to errors; the
// password never does.
class BatchRun final
{
public:
    BatchRun(const BatchOptions& options, std::FILE* errors);

    // Progress on the error stream; the program turns it on when that stream is a terminal.
    void SetShowProgress(bool show) { m_showProgress = show; }
    // Where a signal stops the run; may be left unset.
    void SetStopSignals(StopSignals* stopSignals) { m_signals = stopSignals; }

    BatchExit Exec();

private:
    bool ObjectsExist(CDbSession& session, QString& problem) const;
    BatchExit Search(CDbSession& session, UserPrompt& prompt, QFile& text, QFile& rtf);
    BatchExit Outcome(int instancesFound, bool gaps) const;
    BatchExit Fail(const QString& message) const;
    void Warn(const QString& message) const;

    const BatchOptions& m_options;
    std::FILE* m_errors;
    bool m_showProgress = false;
    StopSignals* m_signals = nullptr;
};

} // namespace velkaro

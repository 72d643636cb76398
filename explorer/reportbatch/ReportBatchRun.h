#pragma once

#include "explorer/reportbatch/ReportBatchOptions.h"

#include <atomic>
#include <cstdio>

namespace velkaro {

class CDbSession;
class ReportLineSink;
class StopSignals;
class UserPrompt;

enum class ReportBatchExit : int
{
    Written = 0,
    Error = 2 // a bad option, no connection, an unknown object, a report that could not be written
};

// One report from the command line: connects, loads the catalog as the explorer does, resolves the
// chosen objects, then writes the report on the calling thread. Everything the user should hear
// of goes to errors; the password never does. A stop signal cancels the catalog calls and the
// report, which then ends with its cancel lines.
class ReportBatchRun final
{
public:
    ReportBatchRun(const ReportBatchOptions& options, std::FILE* errors);

    // Signals that stop the run; without them a signal ends the program as it would by default.
    void SetStopSignals(StopSignals* stopSignals) { m_signals = stopSignals; }

    ReportBatchExit Exec();

private:
    bool ResolveChoices(const CDbSession& session, ReportRequest& request) const;
    bool Write(CDbSession& session, const ReportRequest& request, ReportLineSink& sink,
               UserPrompt& prompt) const;
    bool WritePdf(CDbSession& session, const ReportRequest& request, UserPrompt& prompt) const;
    ReportBatchExit Fail(const QString& message) const;
    ReportBatchExit Report(CDbSession& session, ReportRequest& request, UserPrompt& prompt) const;
    bool Stopped() const { return m_stopped; }

    const ReportBatchOptions& m_options;
    std::FILE* m_errors;
    StopSignals* m_signals = nullptr;
    std::atomic<bool> m_stopped{false}; // set by the signals' thread
};

} // namespace velkaro

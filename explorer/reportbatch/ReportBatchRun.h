#pragma once

#include "explorer/reportbatch/ReportBatchOptions.h"

#include <cstdio>

namespace velkaro {

class CDbSession;
class ReportLineSink;
class UserPrompt;

enum class ReportBatchExit : int
{
    Written = 0,
    Error = 2 // a bad option, no connection, an unknown object, a report that could not be written
};

// One report from the command line: connects, loads the catalog as the explorer does, resolves the
// chosen objects, then writes the report on the calling thread. Everything the user should hear
// of goes to errors; the password never does.
class ReportBatchRun final
{
public:
    ReportBatchRun(const ReportBatchOptions& options, std::FILE* errors);

    ReportBatchExit Exec();

private:
    bool ResolveChoices(const CDbSession& session, ReportRequest& request) const;
    bool Write(CDbSession& session, const ReportRequest& request, ReportLineSink& sink,
               UserPrompt& prompt) const;
    bool WritePdf(CDbSession& session, const ReportRequest& request, UserPrompt& prompt) const;
    ReportBatchExit Fail(const QString& message) const;

    const ReportBatchOptions& m_options;
    std::FILE* m_errors;
};

} // namespace velkaro

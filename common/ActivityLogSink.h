#pragma once

#include <QString>

namespace velkaro {

// Where background events and errors are recorded. The explorer's activity log implements it;
// tests implement it with a recorder. Callable from any thread.
class ActivityLogSink
{
public:
    virtual ~ActivityLogSink() = default;

    // applyOpenMode is true only for the start-up entry of a run.
    virtual void WriteLog(const QString& message, bool applyOpenMode = false) = 0;
};

} // namespace velkaro

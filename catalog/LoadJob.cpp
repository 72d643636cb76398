#include "catalog/LoadJob.h"

namespace velkaro {

bool LoadJob::StopRequested(const char* what) const
{
    if (!host->TerminateRequested())
        return false;
    if (inUse)
        inUse->store(0);
    Log(QStringLiteral("Working thread terminated while retrieving %1.").arg(QLatin1String(what)));
    return true;
}

void LoadJob::Log(const QString& message) const
{
    host->WriteLog(message);
}

} // namespace velkaro

#include "catalog/LoadJob.h"

namespace velkaro {

bool LoadJob::stopRequested(const char* what) const
{
    if (!host->terminateRequested())
        return false;
    if (inUse)
        inUse->store(0);
    log(QStringLiteral("Working thread terminated while retrieving %1.").arg(QLatin1String(what)));
    return true;
}

void LoadJob::log(const QString& message) const
{
    host->WriteLog(message);
}

} // namespace velkaro

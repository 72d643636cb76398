#include "explorer/hub/HubRuntime.h"

namespace velkaro {

HubRuntime::HubRuntime(UserPrompt& prompt)
    : log(logSettings, prompt),
      host(tree, log, logSettings, objectSettings, lookupSettings, terminateRequested)
{
    host.SetProgress(&progress);
}

void HubRuntime::LogIf(const std::atomic<int>& category, const QString& message)
{
    if (category.load() != 0)
        log.WriteLog(message);
}

} // namespace velkaro

#pragma once

#include "explorer/core/NodeTree.h"
#include "explorer/hub/ExplorerCatalogHost.h"
#include "explorer/hub/InterfacePoster.h"
#include "explorer/hub/LoadProgress.h"
#include "explorer/logsettings/ActivityLog.h"
#include "explorer/logsettings/LogSettings.h"
#include "explorer/logsettings/LookupSettings.h"
#include "explorer/logsettings/ObjectSettings.h"
#include "explorer/logsettings/RefreshSettings.h"
#include "explorer/propertydata/DatabaseCounters.h"

#include <atomic>

namespace velkaro {

class UserPrompt;

// Everything a worker thread reaches besides its database entry. The hub and every running job
// share it, so a worker that outlives the tree pane still finds it alive.
struct HubRuntime final
{
    explicit HubRuntime(UserPrompt& prompt);
    HubRuntime(const HubRuntime&) = delete;
    HubRuntime& operator=(const HubRuntime&) = delete;

    std::atomic<int> terminateRequested{0};
    LogSettings logSettings;
    ObjectSettings objectSettings;
    LookupSettings lookupSettings;
    RefreshSettings refreshSettings;
    ActivityLog log;
    NodeTree tree;
    ExplorerCatalogHost host;
    InterfacePoster poster;
    LoadProgress progress{poster};
    // What the database "General" property page's counting thread fills.
    DatabaseCounters databaseCounters;

    // Writes message when the category switch is on.
    void LogIf(const std::atomic<int>& category, const QString& message);
};

} // namespace velkaro

#pragma once

#include "catalog/LoadJob.h"
#include "explorer/core/DatabaseEntry.h"

#include <memory>

namespace velkaro {

// A LoadJob plus what keeps the worker's data alive.
struct ExplorerJob final
{
    LoadJob load;                    // host, alias, nodes, flags, inUse (shared with the entry)
    DatabaseEntryPtr entry;          // shared: removal or shutdown never frees it under the worker
    std::shared_ptr<void> keepAlive; // whatever else the worker reaches (the host object, the log)
};

} // namespace velkaro

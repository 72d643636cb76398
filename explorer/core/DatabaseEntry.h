#pragma once

#include "catalog/CDbSession.h"
#include "explorer/core/NodeTree.h"

#include <QString>
#include <atomic>
#include <memory>

namespace velkaro {

// One explorer database. Workers hold the entry (and so the session) until they end, so removing
// it or shutting down never frees it under them.
struct DatabaseEntry final
{
    std::shared_ptr<CDbSession> session;
    QString alias;
    bool reconnect = true;
    bool ownerOnly = false;
    // 1 while a worker or a foreground job works on the database; LoadJob::inUse shares it.
    std::shared_ptr<std::atomic<int>> inUse = std::make_shared<std::atomic<int>>(0);
    NodeId node = 0;
    std::atomic<qint64> lastRefreshed{0}; // seconds since the epoch

    bool Busy() const { return inUse->load() == 1; }
};
using DatabaseEntryPtr = std::shared_ptr<DatabaseEntry>;

} // namespace velkaro

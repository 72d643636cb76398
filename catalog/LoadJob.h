#pragma once

#include "catalog/CatalogHost.h"
#include "catalog/SchemaRecords.h"

#include <QString>
#include <atomic>
#include <memory>

namespace velkaro {

// One unit of worker work: a database load or refresh, or one object's refresh.
struct LoadJob
{
    CatalogHost* host = nullptr;
    QString alias; // the database's display name, used in log entries
    CatalogNode databaseNode = nullptr;
    bool ownerOnly = false;
    // Load columns and indexes now even when they are set to wait until an object is accessed.
    bool explicitLoad = false;
    bool quiet = false;
    ObjectName object; // object refresh only
    CatalogNode objectNode = nullptr;
    // The database entry's in-use flag; shared so that it outlives both the job and the entry.
    std::shared_ptr<std::atomic<int>> inUse;

    // When the host asks the workers to stop: releases the database, logs
    // "Working thread terminated while retrieving <what>." and returns true.
    bool StopRequested(const char* what) const;
    void Log(const QString& message) const;
};

} // namespace velkaro

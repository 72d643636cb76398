#pragma once

#include "catalog/CatalogHost.h"

#include <atomic>

namespace velkaro {

class NodeTree;
class ActivityLog;
struct LogSettings;
struct ObjectSettings;
struct LookupSettings;
class LoadProgress;

// The catalog retrieval's view of the explorer. Nodes go straight into the node tree from the
// worker's thread (the tree widget shows them later), so a worker never waits for the interface.
class ExplorerCatalogHost final : public CatalogHost
{
public:
    ExplorerCatalogHost(NodeTree& tree, ActivityLog& log, const LogSettings& logSettings,
                        const ObjectSettings& objectSettings, const LookupSettings& lookupSettings,
                        const std::atomic<int>& terminateRequested);

    // Counts each object added, for the status bar.
    void SetProgress(LoadProgress* progress) { m_progress = progress; }

    CatalogNode InsertObjectNode(CatalogNode databaseNode, const ObjectName& object,
                                 const QString& type) override;
    CatalogNode InsertIndexNode(CatalogNode objectNode, const QString& indexName) override;
    void RepaintTree() override;
    bool TerminateRequested() const override;
    CatalogSettings GetCatalogSettings() const override;
    void WriteLog(const QString& message, bool applyOpenMode = false) override;

private:
    NodeTree& m_tree;
    ActivityLog& m_log;
    const LogSettings& m_logSettings;
    const ObjectSettings& m_objectSettings;
    const LookupSettings& m_lookupSettings;
    const std::atomic<int>& m_terminateRequested;
    LoadProgress* m_progress = nullptr;
};

} // namespace velkaro

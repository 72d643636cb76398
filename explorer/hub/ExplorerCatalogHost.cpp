#include "explorer/hub/ExplorerCatalogHost.h"

#include "explorer/core/NodeTree.h"
#include "explorer/hub/LoadProgress.h"
#include "explorer/logsettings/ActivityLog.h"
#include "explorer/logsettings/LogSettings.h"
#include "explorer/logsettings/LookupSettings.h"
#include "explorer/logsettings/ObjectSettings.h"

namespace velkaro {

ExplorerCatalogHost::ExplorerCatalogHost(NodeTree& tree, ActivityLog& log, const LogSettings& logSettings,
                                         const ObjectSettings& objectSettings,
                                         const LookupSettings& lookupSettings,
                                         const std::atomic<int>& terminateRequested)
    : m_tree(tree), m_log(log), m_logSettings(logSettings), m_objectSettings(objectSettings),
      m_lookupSettings(lookupSettings), m_terminateRequested(terminateRequested)
{}

CatalogNode ExplorerCatalogHost::InsertObjectNode(CatalogNode databaseNode, const ObjectName& object,
                                                  const QString& type)
{
    const NodeId node = m_tree.InsertObjectNode(toNodeId(databaseNode), object, type);
    if (node != 0 && m_progress)
        m_progress->ObjectLoaded(toNodeId(databaseNode));
    return toCatalogNode(node);
}

CatalogNode ExplorerCatalogHost::InsertIndexNode(CatalogNode objectNode, const QString& indexName)
{
    return toCatalogNode(m_tree.InsertIndexNode(toNodeId(objectNode), indexName));
}

void ExplorerCatalogHost::RepaintTree()
{
    // The tree widget replays node changes in batches on its own; nothing to force here.
}

bool ExplorerCatalogHost::TerminateRequested() const
{
    return m_terminateRequested.load() != 0;
}

CatalogSettings ExplorerCatalogHost::GetCatalogSettings() const
{
    CatalogSettings settings;
    settings.otab = m_objectSettings.OTAB.load() != 0;
    settings.osys = m_objectSettings.OSYS.load() != 0;
    settings.oview = m_objectSettings.OVIEW.load() != 0;
    settings.osyn = m_objectSettings.OSYN.load() != 0;
    settings.oseq = m_objectSettings.OSEQ.load() != 0;
    settings.oothers = m_objectSettings.OOTHERS.load() != 0;
    settings.ocol = m_objectSettings.OCOL.load() != 0;
    settings.oind = m_objectSettings.OIND.load() != 0;
    settings.oindcol = m_objectSettings.OINDCOL.load() != 0;
    settings.racol = m_lookupSettings.RACOL.load() != 0;
    settings.lobj = m_logSettings.LOBJ.load() != 0;
    settings.lcol = m_logSettings.LCOL.load() != 0;
    settings.lind = m_logSettings.LIND.load() != 0;
    settings.lany = m_logSettings.LANY.load() != 0;
    return settings;
}

void ExplorerCatalogHost::WriteLog(const QString& message, bool applyOpenMode)
{
    m_log.WriteLog(message, applyOpenMode);
}

} // namespace velkaro

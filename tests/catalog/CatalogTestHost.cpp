#include "CatalogTestHost.h"

#include <algorithm>

namespace velkaro::test {

CatalogNode CatalogTestHost::InsertObjectNode(CatalogNode databaseNode, const ObjectName& object,
                                              const QString& type)
{
    int count = 0;
    Node* node = nullptr;
    {
        std::lock_guard lock(m_mutex);
        count = ++m_objectNodes;
        if (count == refuseObjectNode)
            return nullptr;
        m_nodes.push_back({static_cast<const Node*>(databaseNode), object.name, type});
        node = &m_nodes.back();
    }
    if (onObjectNode)
        onObjectNode(count);
    return node;
}

CatalogNode CatalogTestHost::InsertIndexNode(CatalogNode objectNode, const QString& indexName)
{
    std::lock_guard lock(m_mutex);
    if (++m_indexNodes == refuseIndexNode)
        return nullptr;
    m_nodes.push_back({static_cast<const Node*>(objectNode), indexName, QStringLiteral("INDEX")});
    return &m_nodes.back();
}

void CatalogTestHost::WriteLog(const QString& message, bool)
{
    {
        std::lock_guard lock(m_mutex);
        m_log.append(message);
    }
    if (onLog)
        onLog(message);
}

QStringList CatalogTestHost::logLines() const
{
    std::lock_guard lock(m_mutex);
    return m_log;
}

QStringList CatalogTestHost::logLinesWith(const QString& text) const
{
    return logLines().filter(text);
}

QStringList CatalogTestHost::objectNodeNames() const
{
    std::lock_guard lock(m_mutex);
    QStringList names;
    for (const Node& node : m_nodes) {
        if (node.parent == &m_databaseNode)
            names.append(node.name);
    }
    return names;
}

QStringList CatalogTestHost::indexNodeNames(const QString& objectName) const
{
    std::lock_guard lock(m_mutex);
    const auto object = std::find_if(m_nodes.begin(), m_nodes.end(), [&](const Node& node) {
        return node.parent == &m_databaseNode && node.name == objectName;
    });
    QStringList names;
    for (const Node& node : m_nodes) {
        if (node.parent == &*object && object != m_nodes.end())
            names.append(node.name);
    }
    return names;
}

} // namespace velkaro::test

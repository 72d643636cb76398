#pragma once

#include "catalog/CatalogHost.h"

#include <QString>
#include <QStringList>
#include <atomic>
#include <deque>
#include <functional>
#include <mutex>

namespace velkaro::test {

// A tree pane stand-in that records what the catalog retrieval asks of it.
class CatalogTestHost final : public CatalogHost
{
public:
    struct Node
    {
        const Node* parent = nullptr;
        QString name;
        QString type; // "INDEX" for index nodes
    };

    CatalogNode InsertObjectNode(CatalogNode databaseNode, const ObjectName& object,
                                 const QString& type) override;
    CatalogNode InsertIndexNode(CatalogNode objectNode, const QString& indexName) override;
    void RepaintTree() override { ++repaints; }
    bool TerminateRequested() const override { return terminate.load(); }
    CatalogSettings GetCatalogSettings() const override { return settings; }
    void WriteLog(const QString& message, bool applyOpenMode = false) override;

    QStringList logLines() const;
    // Log lines that contain text, in order.
    QStringList logLinesWith(const QString& text) const;
    QStringList objectNodeNames() const;
    // The index nodes under the first object node of that name.
    QStringList indexNodeNames(const QString& objectName) const;

    CatalogNode databaseNode() { return &m_databaseNode; }

    CatalogSettings settings;
    std::atomic<bool> terminate{false};
    std::atomic<int> repaints{0};
    // Refuse the nth object or index node (1-based); 0 refuses none.
    int refuseObjectNode = 0;
    int refuseIndexNode = 0;
    // Called after each log line and each object node, to stop the worker at a chosen moment.
    std::function<void(const QString& logLine)> onLog;
    std::function<void(int objectNodeCount)> onObjectNode;

private:
    mutable std::mutex m_mutex;
    Node m_databaseNode{nullptr, QStringLiteral("database"), QStringLiteral("DATABASE")};
    std::deque<Node> m_nodes;
    QStringList m_log;
    int m_objectNodes = 0;
    int m_indexNodes = 0;
};

} // namespace velkaro::test

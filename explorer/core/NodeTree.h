#pragma once

#include "catalog/CatalogHost.h"
#include "catalog/SchemaRecords.h"
#include "explorer/core/NodeImages.h"

#include <QHash>
#include <QString>
#include <QtGlobal>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace velkaro {

using NodeId = quint64; // 0 = no node; ids are never reused in a run

// The catalog's opaque node handle carries the id itself, so it never points at freed memory.
inline CatalogNode toCatalogNode(NodeId id)
{
    return reinterpret_cast<CatalogNode>(static_cast<std::uintptr_t>(id));
}
inline NodeId toNodeId(CatalogNode node)
{
    return static_cast<NodeId>(reinterpret_cast<std::uintptr_t>(node));
}

// What the tree widget replays, in order.
struct NodeChange
{
    enum class Kind
    {
        Inserted,
        ChildrenDeleted,
        Removed,
        TextChanged // text holds the new text
    };
    Kind kind = Kind::Inserted;
    NodeId node = 0;
    NodeId parent = 0;
    int position = 0; // among the parent's children at the time of the insertion (Inserted)
    QString text;
    int image = 0;
    int selectedImage = 0;
    QString toolTip; // Inserted; empty for none
};

// The explorer's tree of nodes: the one structure every command reads. Thread-safe (one mutex,
// short steps): workers insert object and index nodes from their threads without waiting for the
// interface thread; the tree widget replays the queued changes on the interface thread in batches.
// Levels: 0 root, 1 database, 2 object, 3 index.
class NodeTree final
{
public:
    NodeTree() = default;
    NodeTree(const NodeTree&) = delete;
    NodeTree& operator=(const NodeTree&) = delete;

    // "Velkaro", images 0/0; a second call returns the existing root.
    NodeId InsertRoot();
    NodeId Root() const;
    // Under the root, images 1/6, kept sorted by text (letter case ignored, then exact).
    NodeId InsertDatabaseNode(const QString& alias);
    // Appended in retrieval order, images by type (see NodeImages). The node keeps the object's
    // identity; its text is the name, or "container.name" once another object of the database has
    // the same name (the earlier one is then renamed the same way). The tooltip is "container.name".
    NodeId InsertObjectNode(NodeId databaseNode, const ObjectName& object, const QString& type);
    // An object without owner or qualifier.
    NodeId InsertObjectNode(NodeId databaseNode, const QString& name, const QString& type);
    // Appended, images 4/8.
    NodeId InsertIndexNode(NodeId objectNode, const QString& indexName);
    // Inserting under a node that no longer exists returns 0 and changes nothing.

    void DeleteChildNodes(NodeId node);
    void RemoveNode(NodeId node); // the node with its subtree

    bool Exists(NodeId node) const;
    int NodeLevel(NodeId node) const; // -1 for a missing node
    QString NodeText(NodeId node) const;
    NodeId Parent(NodeId node) const; // 0 for the root or a missing node
    std::vector<NodeId> Children(NodeId node) const;
    bool HasChildren(NodeId node) const;
    NodeId FindChildByText(NodeId parent, const QString& text) const; // exact, first match
    // The identity an object node was inserted with; empty for other nodes. See ObjectNodes.
    ObjectName NodeObject(NodeId node) const;
    // The object node of databaseNode for that object (see ObjectName::SameObject), or 0.
    NodeId FindObjectNode(NodeId databaseNode, const ObjectName& object) const;
    std::vector<NodeId> Subtree(NodeId node) const;       // the node first, then its descendants (pre-order)
    NodeId AncestorAtLevel(NodeId node, int level) const; // the node itself at that level; 0 if none
    std::size_t NodeCount() const;

    std::vector<NodeChange> TakeChanges(std::size_t maximum); // oldest first
    bool HasPendingChanges() const;
    // Called, outside the tree's lock, from whichever thread makes the change queue go from empty
    // to non-empty. The receiver takes changes until the queue is empty again.
    void SetChangesPendingCallback(std::function<void()> callback);

private:
    struct Node
    {
        NodeId parent = 0;
        int level = 0;
        QString text;
        int image = 0;
        int selectedImage = 0;
        std::vector<NodeId> children;
        ObjectName object;                    // object nodes
        QHash<QString, NodeId> objectsByName; // database nodes: the first object node of each name
    };

    NodeId AppendChild(NodeId parent, const QString& text, NodeImages images);
    // becamePending: the change queue went from empty to non-empty.
    NodeId InsertLocked(NodeId parent, int position, const QString& text, int image, int selectedImage,
                        bool& becamePending, const QString& toolTip = QString());
    // The text for a new object node of parentNode; renames the first object of the same name.
    QString ObjectTextLocked(Node& parentNode, const ObjectName& object, bool& becamePending);
    void EraseSubtreeLocked(NodeId node);
    bool QueueLocked(NodeChange change);
    void NotifyPending(bool becamePending);
    const Node* FindLocked(NodeId node) const;

    mutable std::mutex m_mutex;
    std::unordered_map<NodeId, Node> m_nodes;
    NodeId m_root = 0;
    NodeId m_lastId = 0;
    std::deque<NodeChange> m_changes;
    std::function<void()> m_changesPending;
};

} // namespace velkaro

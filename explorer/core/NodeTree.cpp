#include "explorer/core/NodeTree.h"

#include "explorer/core/NodeImages.h"

#include <algorithm>

namespace velkaro {

namespace {
const char* const kRootText = "Velkaro";

// Database nodes are ordered by alias the way a user reads them: letter case ignored first.
bool sortsBefore(const QString& left, const QString& right)
{
    const int folded = QString::compare(left, right, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : QString::compare(left, right, Qt::CaseSensitive) < 0;
}
} // namespace

NodeId NodeTree::InsertRoot()
{
    bool becamePending = false;
    NodeId id = 0;
    {
        std::lock_guard lock(m_mutex);
        if (m_root != 0)
            return m_root;
        id = InsertLocked(0, 0, QString::fromLatin1(kRootText), NodeImage::Root, NodeImage::Root,
                          becamePending);
        m_root = id;
    }
    NotifyPending(becamePending);
    return id;
}

NodeId NodeTree::Root() const
{
    std::lock_guard lock(m_mutex);
    return m_root;
}

NodeId NodeTree::InsertDatabaseNode(const QString& alias)
{
    bool becamePending = false;
    NodeId id = 0;
    {
        std::lock_guard lock(m_mutex);
        const Node* root = FindLocked(m_root);
        if (!root)
            return 0;
        const auto position = std::find_if(root->children.begin(), root->children.end(), [&](NodeId child) {
            return sortsBefore(alias, m_nodes.at(child).text);
        });
        id = InsertLocked(m_root, static_cast<int>(position - root->children.begin()), alias,
                          NodeImage::Database, NodeImage::SelectedDatabase, becamePending);
    }
    NotifyPending(becamePending);
    return id;
}

NodeId NodeTree::InsertObjectNode(NodeId databaseNode, const QString& name, const QString& type)
{
    return InsertObjectNode(databaseNode, ObjectName{QString(), QString(), name}, type);
}

NodeId NodeTree::InsertObjectNode(NodeId databaseNode, const ObjectName& object, const QString& type)
{
    bool becamePending = false;
    NodeId id = 0;
    {
        std::lock_guard lock(m_mutex);
        const auto found = m_nodes.find(databaseNode);
        if (found == m_nodes.end())
            return 0;
        // A reference, unlike an iterator, survives the insertion's rehash.
        Node& parentNode = found->second;
        const QString text = ObjectTextLocked(parentNode, object, becamePending);
        const NodeImages images = ObjectNodeImages(type);
        bool inserted = false;
        id = InsertLocked(databaseNode, static_cast<int>(parentNode.children.size()), text, images.image,
                          images.selectedImage, inserted, object.QualifiedName());
        becamePending = becamePending || inserted;
        m_nodes.at(id).object = object;
        if (!parentNode.objectsByName.contains(object.name))
            parentNode.objectsByName.insert(object.name, id);
    }
    NotifyPending(becamePending);
    return id;
}

QString NodeTree::ObjectTextLocked(Node& parentNode, const ObjectName& object, bool& becamePending)
{
    const auto first = parentNode.objectsByName.constFind(object.name);
    if (first == parentNode.objectsByName.cend())
        return object.name;
    Node& namesake = m_nodes.at(first.value());
    if (namesake.text == namesake.object.name) {
        namesake.text = namesake.object.QualifiedName();
        NodeChange change;
        change.kind = NodeChange::Kind::TextChanged;
        change.node = first.value();
        change.parent = namesake.parent;
        change.text = namesake.text;
        becamePending = QueueLocked(std::move(change));
    }
    return object.QualifiedName();
}

NodeId NodeTree::InsertIndexNode(NodeId objectNode, const QString& indexName)
{
    return AppendChild(objectNode, indexName, {NodeImage::Index, NodeImage::SelectedIndex});
}

NodeId NodeTree::AppendChild(NodeId parentId, const QString& text, NodeImages images)
{
    bool becamePending = false;
    NodeId id = 0;
    {
        std::lock_guard lock(m_mutex);
        const Node* parentNode = FindLocked(parentId);
        if (!parentNode)
            return 0;
        id = InsertLocked(parentId, static_cast<int>(parentNode->children.size()), text, images.image,
                          images.selectedImage, becamePending);
    }
    NotifyPending(becamePending);
    return id;
}

void NodeTree::DeleteChildNodes(NodeId node)
{
    bool becamePending = false;
    {
        std::lock_guard lock(m_mutex);
        auto found = m_nodes.find(node);
        if (found == m_nodes.end() || found->second.children.empty())
            return;
        const std::vector<NodeId> children = std::move(found->second.children);
        found->second.children.clear();
        found->second.objectsByName.clear();
        for (NodeId child : children)
            EraseSubtreeLocked(child);
        NodeChange change;
        change.kind = NodeChange::Kind::ChildrenDeleted;
        change.node = node;
        becamePending = QueueLocked(std::move(change));
    }
    NotifyPending(becamePending);
}

void NodeTree::RemoveNode(NodeId node)
{
    bool becamePending = false;
    {
        std::lock_guard lock(m_mutex);
        auto found = m_nodes.find(node);
        if (found == m_nodes.end())
            return;
        const NodeId parentId = found->second.parent;
        if (auto parentNode = m_nodes.find(parentId); parentNode != m_nodes.end()) {
            std::erase(parentNode->second.children, node);
            // A later object of the same name takes the place of the removed one.
            auto& byName = parentNode->second.objectsByName;
            const QString name = found->second.object.name;
            if (byName.value(name) == node) {
                byName.remove(name);
                for (NodeId child : parentNode->second.children) {
                    if (m_nodes.at(child).object.name == name && !byName.contains(name))
                        byName.insert(name, child);
                }
            }
        }
        EraseSubtreeLocked(node);
        if (node == m_root)
            m_root = 0;
        NodeChange change;
        change.kind = NodeChange::Kind::Removed;
        change.node = node;
        change.parent = parentId;
        becamePending = QueueLocked(std::move(change));
    }
    NotifyPending(becamePending);
}

bool NodeTree::Exists(NodeId node) const
{
    std::lock_guard lock(m_mutex);
    return FindLocked(node) != nullptr;
}

int NodeTree::NodeLevel(NodeId node) const
{
    std::lock_guard lock(m_mutex);
    const Node* found = FindLocked(node);
    return found ? found->level : -1;
}

QString NodeTree::NodeText(NodeId node) const
{
    std::lock_guard lock(m_mutex);
    const Node* found = FindLocked(node);
    return found ? found->text : QString();
}

NodeId NodeTree::Parent(NodeId node) const
{
    std::lock_guard lock(m_mutex);
    const Node* found = FindLocked(node);
    return found ? found->parent : 0;
}

std::vector<NodeId> NodeTree::Children(NodeId node) const
{
    std::lock_guard lock(m_mutex);
    const Node* found = FindLocked(node);
    return found ? found->children : std::vector<NodeId>();
}

bool NodeTree::HasChildren(NodeId node) const
{
    std::lock_guard lock(m_mutex);
    const Node* found = FindLocked(node);
    return found && !found->children.empty();
}

NodeId NodeTree::FindChildByText(NodeId parentId, const QString& text) const
{
    std::lock_guard lock(m_mutex);
    const Node* found = FindLocked(parentId);
    if (!found)
        return 0;
    for (NodeId child : found->children) {
        if (m_nodes.at(child).text == text)
            return child;
    }
    return 0;
}

ObjectName NodeTree::NodeObject(NodeId node) const
{
    std::lock_guard lock(m_mutex);
    const Node* found = FindLocked(node);
    return found ? found->object : ObjectName();
}

NodeId NodeTree::FindObjectNode(NodeId databaseNode, const ObjectName& object) const
{
    std::lock_guard lock(m_mutex);
    const Node* database = FindLocked(databaseNode);
    if (!database)
        return 0;
    const NodeId first = database->objectsByName.value(object.name);
    if (first == 0)
        return 0;
    if (m_nodes.at(first).object.SameObject(object))
        return first;
    // Objects of one name in several schemas: rare, so a walk over the children does.
    for (NodeId child : database->children) {
        if (m_nodes.at(child).object.SameObject(object))
            return child;
    }
    return 0;
}

std::vector<NodeId> NodeTree::Subtree(NodeId node) const
{
    std::lock_guard lock(m_mutex);
    std::vector<NodeId> result;
    if (!FindLocked(node))
        return result;
    std::vector<NodeId> pending{node};
    while (!pending.empty()) {
        const NodeId current = pending.back();
        pending.pop_back();
        result.push_back(current);
        const auto& children = m_nodes.at(current).children;
        pending.insert(pending.end(), children.rbegin(), children.rend());
    }
    return result;
}

NodeId NodeTree::AncestorAtLevel(NodeId node, int level) const
{
    std::lock_guard lock(m_mutex);
    for (const Node* current = FindLocked(node); current; current = FindLocked(current->parent)) {
        if (current->level == level)
            return node;
        if (current->level < level)
            return 0;
        node = current->parent;
    }
    return 0;
}

std::size_t NodeTree::NodeCount() const
{
    std::lock_guard lock(m_mutex);
    return m_nodes.size();
}

std::vector<NodeChange> NodeTree::TakeChanges(std::size_t maximum)
{
    std::lock_guard lock(m_mutex);
    const std::size_t count = std::min(maximum, m_changes.size());
    std::vector<NodeChange> taken(
        std::make_move_iterator(m_changes.begin()),
        std::make_move_iterator(m_changes.begin() + static_cast<std::ptrdiff_t>(count)));
    m_changes.erase(m_changes.begin(), m_changes.begin() + static_cast<std::ptrdiff_t>(count));
    return taken;
}

bool NodeTree::HasPendingChanges() const
{
    std::lock_guard lock(m_mutex);
    return !m_changes.empty();
}

void NodeTree::SetChangesPendingCallback(std::function<void()> callback)
{
    std::lock_guard lock(m_mutex);
    m_changesPending = std::move(callback);
}

NodeId NodeTree::InsertLocked(NodeId parentId, int position, const QString& text, int image,
                              int selectedImage, bool& becamePending, const QString& toolTip)
{
    const NodeId id = ++m_lastId;
    Node node;
    node.parent = parentId;
    node.text = text;
    node.image = image;
    node.selectedImage = selectedImage;
    if (parentId != 0) {
        Node& parentNode = m_nodes.at(parentId);
        node.level = parentNode.level + 1;
        parentNode.children.insert(parentNode.children.begin() + position, id);
    }
    m_nodes.emplace(id, std::move(node));

    NodeChange change;
    change.kind = NodeChange::Kind::Inserted;
    change.node = id;
    change.parent = parentId;
    change.position = position;
    change.text = text;
    change.image = image;
    change.selectedImage = selectedImage;
    change.toolTip = toolTip;
    becamePending = QueueLocked(std::move(change));
    return id;
}

void NodeTree::EraseSubtreeLocked(NodeId node)
{
    std::vector<NodeId> pending{node};
    while (!pending.empty()) {
        const NodeId current = pending.back();
        pending.pop_back();
        auto found = m_nodes.find(current);
        if (found == m_nodes.end())
            continue;
        pending.insert(pending.end(), found->second.children.begin(), found->second.children.end());
        m_nodes.erase(found);
    }
}

bool NodeTree::QueueLocked(NodeChange change)
{
    const bool wasEmpty = m_changes.empty();
    m_changes.push_back(std::move(change));
    return wasEmpty;
}

void NodeTree::NotifyPending(bool becamePending)
{
    if (!becamePending)
        return;
    std::function<void()> callback;
    {
        std::lock_guard lock(m_mutex);
        callback = m_changesPending;
    }
    if (callback)
        callback();
}

const NodeTree::Node* NodeTree::FindLocked(NodeId node) const
{
    if (node == 0)
        return nullptr;
    const auto found = m_nodes.find(node);
    return found == m_nodes.end() ? nullptr : &found->second;
}

} // namespace velkaro

#include "explorer/core/ObjectNodes.h"

#include "catalog/ObjectRecord.h"

namespace velkaro {

std::shared_ptr<ObjectRecord> ObjectNodes::ObjectOf(const NodeTree& tree, const ObjectList& objects,
                                                    NodeId objectNode)
{
    if (tree.NodeLevel(objectNode) != 2)
        return nullptr;
    return Find(objects, tree.NodeObject(objectNode));
}

std::shared_ptr<ObjectRecord> ObjectNodes::Find(const ObjectList& objects, const ObjectName& object)
{
    for (const auto& record : objects) {
        if (record->GetObjectName().SameObject(object))
            return record;
    }
    return nullptr;
}

NodeId ObjectNodes::NodeOf(const NodeTree& tree, NodeId databaseNode, const ObjectName& object)
{
    return tree.FindObjectNode(databaseNode, object);
}

NodeId ObjectNodes::NodeOf(const NodeTree& tree, NodeId databaseNode, const ObjectRecord& object)
{
    return NodeOf(tree, databaseNode, object.GetObjectName());
}

QString ObjectNodes::LocationText(const NodeTree& tree, NodeId objectNode)
{
    return tree.NodeObject(objectNode).QualifiedName();
}

NodeId ObjectNodes::NodeForLocationText(const NodeTree& tree, NodeId databaseNode, const QString& text)
{
    NodeId byText = 0;
    for (NodeId child : tree.Children(databaseNode)) {
        if (tree.NodeObject(child).QualifiedName() == text)
            return child;
        if (byText == 0 && tree.NodeText(child) == text)
            byText = child;
    }
    return byText;
}

} // namespace velkaro

#include "explorer/propertydata/ObjectLookup.h"

namespace velkaro {

ObjectName ObjectLookup::NameOfNode(const NodeTree& tree, const ObjectSnapshot& objects, NodeId objectNode)
{
    if (tree.NodeLevel(objectNode) != 2)
        return {};
    const QString name = tree.NodeText(objectNode);
    int occurrence = 0;
    for (const NodeId sibling : tree.Children(tree.Parent(objectNode))) {
        if (sibling == objectNode)
            break;
        if (tree.NodeText(sibling) == name)
            ++occurrence;
    }
    for (const auto& object : objects) {
        if (object->Name() == name && occurrence-- == 0)
            return object->GetObjectName();
    }
    return {};
}

std::shared_ptr<ObjectRecord> ObjectLookup::Find(const ObjectSnapshot& objects, const QString& owner,
                                                 const QString& name)
{
    for (const auto& object : objects) {
        if (object->Name() == name && object->Owner() == owner)
            return object;
    }
    return nullptr;
}

} // namespace velkaro

#include "explorer/propertydata/ObjectLookup.h"

#include "explorer/core/ObjectNodes.h"

namespace velkaro {

ObjectName ObjectLookup::NameOfNode(const NodeTree& tree, const ObjectSnapshot& objects, NodeId objectNode)
{
    const std::shared_ptr<ObjectRecord> object = ObjectNodes::ObjectOf(tree, objects, objectNode);
    return object ? object->GetObjectName() : ObjectName{};
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

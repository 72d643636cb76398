#pragma once

#include "catalog/ObjectRecord.h"
#include "explorer/core/NodeTree.h"

#include <memory>
#include <vector>

namespace velkaro {

using ObjectSnapshot = std::vector<std::shared_ptr<ObjectRecord>>;

// How the property sheets tell same-named objects apart.
class ObjectLookup final
{
public:
    // The owner and name of the object an object node stands for (see ObjectNodes). Empty name
    // when the node is not an object node or has no record.
    static ObjectName NameOfNode(const NodeTree& tree, const ObjectSnapshot& objects, NodeId objectNode);
    // The object of exactly this owner and name; null when there is none.
    static std::shared_ptr<ObjectRecord> Find(const ObjectSnapshot& objects, const QString& owner,
                                              const QString& name);
};

} // namespace velkaro

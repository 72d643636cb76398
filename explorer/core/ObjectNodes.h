#pragma once

#include "explorer/core/NodeTree.h"

#include <QString>

namespace velkaro {

// The one place that knows how an object of a database's model is shown in the tree: the node of
// the object owner.name under databaseNode, or 0 when the tree has none.
NodeId findObjectNode(const NodeTree& tree, NodeId databaseNode, const QString& owner, const QString& name);

} // namespace velkaro

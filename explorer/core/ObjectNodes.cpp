#include "explorer/core/ObjectNodes.h"

namespace velkaro {

NodeId findObjectNode(const NodeTree& tree, NodeId databaseNode, const QString& owner, const QString& name)
{
    // Object nodes carry the bare name today, so same-named objects of two owners share the first node.
    Q_UNUSED(owner);
    return tree.FindChildByText(databaseNode, name);
}

} // namespace velkaro

#pragma once

#include "explorer/core/DatabaseList.h"
#include "explorer/core/NodeTree.h"
#include "explorer/propertydata/PropertyTarget.h"

#include <QString>
#include <optional>

namespace velkaro {

// The list pane's selected row as the Properties command sees it.
struct ListSelection
{
    int kind = -1;   // 1 database, 2 object, 3 index, 4 column, 5 index column; negative: none
    QString text;    // the row's first column
    QString owner;   // an object row's owner column
    NodeId treeNode; // the tree's current node, whose contents the list shows
};

// Which item the Properties command describes. No widgets: the command passes what the panes
// say and opens the sheet for the target, or shows the message.
class PropertyChoice final
{
public:
    static const QString kObjectNotFoundMessage;

    PropertyChoice(const NodeTree& tree, const DatabaseList& databases);

    // The tree's selected node (the focus is in the tree pane).
    PropertyChoice& FromTreeNode(NodeId node);
    // The list pane's selected row.
    PropertyChoice& FromListRow(const ListSelection& row);

    const std::optional<PropertyTarget>& Target() const { return m_target; }
    // Shown when the object chosen in the list has no node any more; empty otherwise.
    const QString& Message() const { return m_message; }

private:
    void ChooseObject(const DatabaseEntryPtr& entry, const ObjectName& name);
    void ChooseDetail(PropertyTarget::Kind kind, NodeId objectNode, const QString& itemName);

    const NodeTree& m_tree;
    const DatabaseList& m_databases;
    std::optional<PropertyTarget> m_target;
    QString m_message;
};

} // namespace velkaro

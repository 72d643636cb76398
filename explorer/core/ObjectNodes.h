#pragma once

#include "catalog/SchemaRecords.h"
#include "explorer/core/NodeTree.h"

#include <QString>
#include <memory>
#include <vector>

namespace velkaro {

class ObjectRecord;

// The one way between an object node and its catalog object. A node names its object by
// qualifier, owner and name, never by its text: two schemas may hold objects of one name, and the
// node's text then carries the owner ("archive.customers"). Every lookup from a node (list fills,
// index lookups, object refreshes, the location bar, find) goes through here.
class ObjectNodes final
{
public:
    using ObjectList = std::vector<std::shared_ptr<ObjectRecord>>;

    ObjectNodes() = delete;

    // The object of objectNode among objects (its database's); null when it is gone or the node is
    // not an object node.
    static std::shared_ptr<ObjectRecord> ObjectOf(const NodeTree& tree, const ObjectList& objects,
                                                  NodeId objectNode);
    // The object by its owner (or, where the DBMS has none, its database) and name; null when gone.
    static std::shared_ptr<ObjectRecord> Find(const ObjectList& objects, const ObjectName& object);
    // The node of the object under databaseNode, by owner (or database) and name; 0 when none.
    static NodeId NodeOf(const NodeTree& tree, NodeId databaseNode, const ObjectName& object);
    static NodeId NodeOf(const NodeTree& tree, NodeId databaseNode, const ObjectRecord& object);

    // How the location bar writes an object node: "container.name" (the bare name where nothing
    // holds the object).
    static QString LocationText(const NodeTree& tree, NodeId objectNode);
    // The object node of databaseNode that a location text names: by "container.name", then by
    // the node's text; 0 when none does.
    static NodeId NodeForLocationText(const NodeTree& tree, NodeId databaseNode, const QString& text);
};

} // namespace velkaro

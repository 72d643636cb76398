#pragma once

#include "explorer/core/DatabaseList.h"
#include "explorer/core/NodeTree.h"
#include "explorer/hub/ListFill.h"

#include <memory>
#include <optional>
#include <vector>

namespace velkaro {

class ObjectRecord;

// What the list pane shows for a selected node, worked out from the node tree, the database list
// and a database's objects. No widget: the pane only inserts the rows.
struct ListPaneRows final
{
    using ObjectList = std::vector<std::shared_ptr<ObjectRecord>>;

    // The root: one row per database (alias, user, DBMS, version), or a note when there is none.
    static ListFill Databases(const NodeTree& tree, const DatabaseList& databases);
    // A database: one row per object (name, type, owner, remarks), announced by count. The name is
    // written as the tree writes it: with its owner where another object has the same name.
    static ListFill Objects(const ObjectList& objects);
    // An object: its indexes, then its columns.
    static ListFill ObjectContents(const ObjectRecord& object);
    // An index: its columns; nothing when the object has no index of that name.
    static std::optional<ListFill> IndexColumns(const ObjectRecord& object, const QString& indexName);
};

} // namespace velkaro

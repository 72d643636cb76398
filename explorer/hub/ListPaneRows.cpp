#include "explorer/hub/ListPaneRows.h"

#include "catalog/CDbSession.h"
#include "catalog/ObjectRecord.h"
#include "explorer/core/NodeImages.h"

namespace velkaro {

ListFill ListPaneRows::databases(const NodeTree& tree, const DatabaseList& databases)
{
    ListFill fill;
    if (!tree.hasChildren(tree.root())) {
        fill.rows.push_back({QStringLiteral("No databases have been selected"), NodeImage::Root, {}});
        return fill;
    }
    for (const DatabaseEntryPtr& entry : databases.entries()) {
        const CDbSession& session = *entry->session;
        fill.rows.push_back({entry->alias,
                             NodeImage::Database,
                             {session.userName(), session.dbmsName(), session.dbmsVersion()}});
    }
    return fill;
}

ListFill ListPaneRows::objects(const Objects& objects)
{
    ListFill fill;
    fill.expectedRows = static_cast<int>(objects.size());
    fill.rows.reserve(objects.size());
    for (const auto& object : objects) {
        fill.rows.push_back({object->name(),
                             ObjectListImage(object->type()),
                             {object->type(), object->owner(), object->remarks()}});
    }
    return fill;
}

ListFill ListPaneRows::objectContents(const ObjectRecord& object)
{
    ListFill fill;
    if (const auto indexes = object.indexes()) {
        for (const IndexRecord& index : indexes->indexes)
            fill.rows.push_back(
                {index.name, NodeImage::Index, {index.uniqueness, QStringLiteral("INDEX"), QString()}});
    }
    if (const auto columns = object.columns()) {
        for (const ColumnRecord& column : columns->columns)
            fill.rows.push_back(
                {column.name, NodeImage::Column, {column.nullability, column.typeName, column.size}});
    }
    return fill;
}

std::optional<ListFill> ListPaneRows::indexColumns(const ObjectRecord& object, const QString& indexName)
{
    const auto indexes = object.indexes();
    if (!indexes)
        return std::nullopt;
    for (const IndexRecord& index : indexes->indexes) {
        if (index.name != indexName)
            continue;
        ListFill fill;
        for (const QString& column : index.columnNames)
            fill.rows.push_back({column, NodeImage::IndexColumn, {}});
        return fill;
    }
    return std::nullopt;
}

std::shared_ptr<ObjectRecord> ListPaneRows::findObject(const Objects& objects, const QString& name)
{
    for (const auto& object : objects) {
        if (object->name() == name)
            return object;
    }
    return nullptr;
}

} // namespace velkaro

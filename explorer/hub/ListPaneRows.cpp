#include "explorer/hub/ListPaneRows.h"

#include "catalog/CDbSession.h"
#include "catalog/ObjectRecord.h"
#include "explorer/core/NodeImages.h"

#include <QHash>

namespace velkaro {

ListFill ListPaneRows::Databases(const NodeTree& tree, const DatabaseList& databases)
{
    ListFill fill;
    if (!tree.HasChildren(tree.Root())) {
        fill.rows.push_back({QStringLiteral("No databases have been selected"), NodeImage::Root, {}});
        return fill;
    }
    for (const DatabaseEntryPtr& entry : databases.Entries()) {
        const CDbSession& session = *entry->session;
        fill.rows.push_back({entry->alias,
                             NodeImage::Database,
                             {session.UserName(), session.DbmsName(), session.DbmsVersion()}});
    }
    return fill;
}

ListFill ListPaneRows::Objects(const ObjectList& objects)
{
    ListFill fill;
    fill.expectedRows = static_cast<int>(objects.size());
    fill.rows.reserve(objects.size());
    QHash<QString, int> sameName;
    for (const auto& object : objects)
        ++sameName[object->Name()];
    for (const auto& object : objects) {
        const ObjectName name = object->GetObjectName();
        // The owner column names the database where the DBMS has no owners (MariaDB's catalogs).
        fill.rows.push_back({sameName.value(name.name) > 1 ? name.QualifiedName() : name.name,
                             ObjectListImage(object->Type()),
                             {object->Type(), name.Container(), object->Remarks()}});
    }
    return fill;
}

ListFill ListPaneRows::ObjectContents(const ObjectRecord& object)
{
    ListFill fill;
    if (const auto indexes = object.Indexes()) {
        for (const IndexRecord& index : indexes->indexes)
            fill.rows.push_back(
                {index.name, NodeImage::Index, {index.uniqueness, QStringLiteral("INDEX"), QString()}});
    }
    if (const auto columns = object.Columns()) {
        for (const ColumnRecord& column : columns->columns)
            fill.rows.push_back(
                {column.name, NodeImage::Column, {column.nullability, column.typeName, column.size}});
    }
    return fill;
}

std::optional<ListFill> ListPaneRows::IndexColumns(const ObjectRecord& object, const QString& indexName)
{
    const auto indexes = object.Indexes();
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

} // namespace velkaro

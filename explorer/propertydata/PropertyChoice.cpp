#include "explorer/propertydata/PropertyChoice.h"

#include "explorer/propertydata/ObjectLookup.h"

namespace velkaro {

const QString PropertyChoice::kObjectNotFoundMessage =
    QStringLiteral("Cannot find object in database, Please refresh this database.");

namespace {
const QString kObjectNotLoadedMessage = QStringLiteral("Could not load Object Properties.");
} // namespace

PropertyChoice::PropertyChoice(const NodeTree& tree, const DatabaseList& databases)
    : m_tree(tree), m_databases(databases)
{}

PropertyChoice& PropertyChoice::FromTreeNode(NodeId node)
{
    switch (m_tree.NodeLevel(node)) {
    case 0:
        m_target = PropertyTarget{};
        break;
    case 1:
        if (DatabaseEntryPtr entry = m_databases.FindEntryByNode(node))
            m_target = PropertyTarget{PropertyTarget::Kind::Database, entry, {}, {}, {}, {}};
        break;
    case 2:
        if (DatabaseEntryPtr entry = m_databases.FindEntryByNode(m_tree.AncestorAtLevel(node, 1)))
            ChooseObject(entry, ObjectLookup::NameOfNode(m_tree, entry->session->Objects(), node));
        break;
    case 3:
        ChooseDetail(PropertyTarget::Kind::Index, m_tree.Parent(node), m_tree.NodeText(node));
        break;
    default:
        break;
    }
    return *this;
}

PropertyChoice& PropertyChoice::FromListRow(const ListSelection& row)
{
    switch (row.kind) {
    case 1:
        if (DatabaseEntryPtr entry = m_databases.FindEntryByAlias(row.text))
            m_target = PropertyTarget{PropertyTarget::Kind::Database, entry, {}, {}, {}, {}};
        break;
    case 2: {
        DatabaseEntryPtr entry = m_databases.FindEntryByNode(row.treeNode);
        if (!entry)
            break;
        // The row shows the object node's text ("archive.customers" where names collide).
        const NodeId objectNode = m_tree.FindChildByText(row.treeNode, row.text);
        if (objectNode == 0) {
            m_message = kObjectNotFoundMessage;
            break;
        }
        ChooseObject(entry, ObjectLookup::NameOfNode(m_tree, entry->session->Objects(), objectNode));
        break;
    }
    case 3:
        ChooseDetail(PropertyTarget::Kind::Index, row.treeNode, row.text);
        break;
    case 4:
        ChooseDetail(PropertyTarget::Kind::Column, row.treeNode, row.text);
        break;
    default: // an index column has no sheet
        break;
    }
    return *this;
}

void PropertyChoice::ChooseObject(const DatabaseEntryPtr& entry, const ObjectName& name)
{
    const auto object = ObjectLookup::Find(entry->session->Objects(), name.owner, name.name);
    if (!object) {
        m_message = kObjectNotLoadedMessage;
        return;
    }
    m_target = PropertyTarget{
        PropertyTarget::Kind::Object, entry, object->Owner(), object->Name(), object->Type(), {}};
}

void PropertyChoice::ChooseDetail(PropertyTarget::Kind kind, NodeId objectNode, const QString& itemName)
{
    DatabaseEntryPtr entry = m_databases.FindEntryByNode(m_tree.AncestorAtLevel(objectNode, 1));
    if (!entry || m_tree.NodeLevel(objectNode) != 2)
        return;
    const ObjectName table = ObjectLookup::NameOfNode(m_tree, entry->session->Objects(), objectNode);
    // A table refreshed away keeps its node's name; the page then says it cannot load it.
    const QString tableName = table.name.isEmpty() ? m_tree.NodeText(objectNode) : table.name;
    m_target = PropertyTarget{kind, entry, table.owner, tableName, {}, itemName};
}

} // namespace velkaro

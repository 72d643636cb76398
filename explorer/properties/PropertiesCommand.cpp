#include "explorer/properties/PropertiesCommand.h"

#include "common/UserPrompt.h"
#include "explorer/propertydata/PropertyChoice.h"
#include "explorer/views/CLeftView.h"
#include "explorer/views/CVelkaroView.h"

namespace velkaro {

namespace {

// The list pane's object rows hold the owner in their third column.
constexpr int kOwnerColumn = 2;

ListSelection listSelection(const CVelkaroView& list, NodeId treeNode)
{
    const QList<QTreeWidgetItem*> selected = list.selectedItems();
    if (selected.isEmpty())
        return {};
    const QTreeWidgetItem* row = selected.first();
    return {list.SelectedRowKind(), row->text(0), row->text(kOwnerColumn), treeNode};
}

} // namespace

std::unique_ptr<CProps> PropertiesCommand::MakeSheet(QWidget* parent) const
{
    ExplorerHub& hub = m_tree.Hub();
    PropertyChoice choice(hub.Tree(), hub.Databases());
    const NodeId treeNode = m_tree.SelectedNode();
    if (m_tree.hasFocus()) {
        if (treeNode == 0)
            return nullptr;
        choice.FromTreeNode(treeNode);
    } else {
        choice.FromListRow(listSelection(m_list, treeNode));
    }
    if (!choice.Message().isEmpty())
        m_prompt.ShowMessage(choice.Message());
    if (!choice.Target())
        return nullptr;
    return CProps::Create(hub, m_store, m_prompt, *choice.Target(), parent);
}

void PropertiesCommand::Run(QWidget* parent) const
{
    if (std::unique_ptr<CProps> sheet = MakeSheet(parent))
        sheet->exec();
}

} // namespace velkaro

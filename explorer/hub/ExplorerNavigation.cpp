#include "explorer/hub/ExplorerNavigation.h"

#include "common/UserPrompt.h"
#include "explorer/core/ObjectNodes.h"
#include "explorer/hub/TreeViewPort.h"

namespace velkaro {

ExplorerNavigation::ExplorerNavigation(const NodeTree& tree, UserPrompt& prompt)
    : m_tree(tree), m_prompt(prompt)
{}

NodeId ExplorerNavigation::SelectedNode() const
{
    return m_port ? m_port->SelectedNode() : 0;
}

bool ExplorerNavigation::SelectNode(NodeId node)
{
    return m_port && node != 0 && m_port->SelectNode(node);
}

void ExplorerNavigation::Back()
{
    if (!m_history.CanGoBack())
        return;
    const NodeId node = m_history.TakeBack(m_tree);
    if (node != 0 && !SelectNode(node))
        m_history.BackFailed();
}

void ExplorerNavigation::Forward()
{
    if (!m_history.CanGoForward())
        return;
    const NodeId node = m_history.TakeForward(m_tree);
    if (node != 0)
        SelectNode(node);
}

void ExplorerNavigation::Up()
{
    const NodeId parent = m_tree.Parent(SelectedNode());
    if (parent != 0)
        SelectNode(parent);
}

bool ExplorerNavigation::CanUp() const
{
    return m_tree.Parent(SelectedNode()) != 0;
}

void ExplorerNavigation::GoToLocation(const QString& path)
{
    const LocationList::Target target = LocationList::SplitLocationPath(path);
    const NodeId root = m_tree.Root();
    if (target.root) {
        SelectNode(root);
        return;
    }
    const NodeId database = m_tree.FindChildByText(root, target.database);
    if (database == 0) {
        m_prompt.ShowError(QStringLiteral("Cannot find starting place, starting from root."));
        return;
    }
    if (target.object.isEmpty()) {
        SelectNode(database);
        return;
    }
    const NodeId object = ObjectNodes::NodeForLocationText(m_tree, database, target.object);
    if (object == 0) {
        m_prompt.ShowError(QStringLiteral("Cannot find object in database, Please refresh this database."));
        SelectNode(database);
        return;
    }
    const NodeId index = target.index.isEmpty() ? 0 : m_tree.FindChildByText(object, target.index);
    SelectNode(index != 0 ? index : object);
}

bool ExplorerNavigation::SelectChildByText(const QString& text)
{
    const NodeId child = m_tree.FindChildByText(SelectedNode(), text);
    return child != 0 && SelectNode(child);
}

void ExplorerNavigation::ShowLocation(NodeId node)
{
    m_locations.Record(LocationList::BuildLocationPath(m_tree, node));
    if (m_port)
        m_port->ShowLocations(m_locations.Paths());
}

} // namespace velkaro

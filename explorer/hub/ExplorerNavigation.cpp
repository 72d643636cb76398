#include "explorer/hub/ExplorerNavigation.h"

#include "common/UserPrompt.h"
#include "explorer/hub/TreeViewPort.h"

namespace velkaro {

ExplorerNavigation::ExplorerNavigation(const NodeTree& tree, UserPrompt& prompt)
    : m_tree(tree), m_prompt(prompt)
{}

NodeId ExplorerNavigation::selectedNode() const
{
    return m_port ? m_port->selectedNode() : 0;
}

bool ExplorerNavigation::selectNode(NodeId node)
{
    return m_port && node != 0 && m_port->selectNode(node);
}

void ExplorerNavigation::back()
{
    if (!m_history.canGoBack())
        return;
    const NodeId node = m_history.takeBack(m_tree);
    if (node != 0 && !selectNode(node))
        m_history.backFailed();
}

void ExplorerNavigation::forward()
{
    if (!m_history.canGoForward())
        return;
    const NodeId node = m_history.takeForward(m_tree);
    if (node != 0)
        selectNode(node);
}

void ExplorerNavigation::up()
{
    const NodeId parent = m_tree.parent(selectedNode());
    if (parent != 0)
        selectNode(parent);
}

bool ExplorerNavigation::canUp() const
{
    return m_tree.parent(selectedNode()) != 0;
}

void ExplorerNavigation::goToLocation(const QString& path)
{
    const LocationList::Target target = LocationList::SplitLocationPath(path);
    const NodeId root = m_tree.root();
    if (target.root) {
        selectNode(root);
        return;
    }
    const NodeId database = m_tree.FindChildByText(root, target.database);
    if (database == 0) {
        m_prompt.showMessage(QStringLiteral("Cannot find starting place, starting from root."));
        return;
    }
    if (target.object.isEmpty()) {
        selectNode(database);
        return;
    }
    const NodeId object = m_tree.FindChildByText(database, target.object);
    if (object == 0) {
        m_prompt.showMessage(QStringLiteral("Cannot find object in database, Please refresh this database."));
        selectNode(database);
        return;
    }
    const NodeId index = target.index.isEmpty() ? 0 : m_tree.FindChildByText(object, target.index);
    selectNode(index != 0 ? index : object);
}

bool ExplorerNavigation::selectChildByText(const QString& text)
{
    const NodeId child = m_tree.FindChildByText(selectedNode(), text);
    return child != 0 && selectNode(child);
}

void ExplorerNavigation::showLocation(NodeId node)
{
    m_locations.record(LocationList::BuildLocationPath(m_tree, node));
    if (m_port)
        m_port->showLocations(m_locations.paths());
}

} // namespace velkaro

#pragma once

#include "explorer/core/LocationList.h"
#include "explorer/core/NavigationHistory.h"
#include "explorer/core/NodeTree.h"

#include <QString>

namespace velkaro {

class TreeViewPort;
class UserPrompt;

// Moving through the node tree: Back and Forward over the visited nodes, Up, the location bar's
// paths, and opening a list pane row. It moves by selecting in the tree pane, whose selection
// change comes back to the hub. Interface thread only.
class ExplorerNavigation final
{
public:
    ExplorerNavigation(const NodeTree& tree, UserPrompt& prompt);
    ExplorerNavigation(const ExplorerNavigation&) = delete;
    ExplorerNavigation& operator=(const ExplorerNavigation&) = delete;

    void SetPort(TreeViewPort* port) { m_port = port; }

    void Back();
    void Forward();
    void Up();
    void GoToLocation(const QString& path);
    // Selects the child of the selected node called text.
    bool SelectChildByText(const QString& text);
    // A node was selected: its path heads the location bar's list.
    void ShowLocation(NodeId node);

    bool CanBack() const { return m_history.CanGoBack(); }
    bool CanForward() const { return m_history.CanGoForward(); }
    bool CanUp() const;

    NavigationHistory& History() { return m_history; }
    LocationList& Locations() { return m_locations; }

private:
    NodeId SelectedNode() const;
    bool SelectNode(NodeId node);

    const NodeTree& m_tree;
    UserPrompt& m_prompt;
    TreeViewPort* m_port = nullptr;
    NavigationHistory m_history;
    LocationList m_locations;
};

} // namespace velkaro

#pragma once

#include "explorer/core/NodeTree.h"

#include <QString>
#include <deque>
#include <functional>
#include <vector>

namespace velkaro {

// The back and forward lists of the tree pane, most recent first (interface thread).
class NavigationHistory final
{
public:
    // Pushes node onto the back list when it differs from the last node shown.
    void RecordVisit(NodeId node);
    NodeId LastShown() const { return m_lastShown; }
    bool CanGoBack() const { return m_back.size() > 1; } // the back list holds more than one node
    bool CanGoForward() const { return !m_forward.empty(); }
    // The same, counting only nodes the tree still holds.
    bool CanGoBack(const NodeTree& tree) const;
    bool CanGoForward(const NodeTree& tree) const;

    // The node to select, or 0 for none. The shown node (the back list's head) moves to the forward
    // list and the node before it is taken off the back list (selecting it records it again).
    // Entries whose node the tree no longer holds are discarded on the way, never returned; when
    // nothing is left to go back to, the lists stay as they were apart from the discarded entries.
    NodeId TakeBack(const NodeTree& tree);
    // Selecting the node from takeBack failed: the shown node goes back from the forward list to
    // the head of the back list, so the history still describes what is shown.
    void BackFailed();
    // The head of the forward list (discarding missing nodes), or 0.
    NodeId TakeForward(const NodeTree& tree);

    // Removing a database: for each node of its subtree (as NodeTree::subtree gives it, taken
    // before the nodes leave the tree), log(text + ": Removing information.") and every
    // occurrence leaves the back list with log(text + ": Removing from back list."); then, in a
    // second pass, every occurrence leaves the forward list with
    // log(text + ": Removing from forward list."). The caller decides (LANY) whether to write them.
    void PurgeFromHistory(const std::vector<NodeId>& subtree, const NodeTree& tree,
                          const std::function<void(const QString&)>& log);

    const std::deque<NodeId>& BackList() const { return m_back; }
    const std::deque<NodeId>& ForwardList() const { return m_forward; }

private:
    static NodeId TakeFirstLiving(std::deque<NodeId>& list, const NodeTree& tree);

    std::deque<NodeId> m_back;
    std::deque<NodeId> m_forward;
    NodeId m_lastShown = 0;
};

} // namespace velkaro

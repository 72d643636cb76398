#include "explorer/core/NavigationHistory.h"

#include <algorithm>

namespace velkaro {

void NavigationHistory::RecordVisit(NodeId node)
{
    if (node == m_lastShown)
        return;
    m_back.push_front(node);
    m_lastShown = node;
}

bool NavigationHistory::CanGoBack(const NodeTree& tree) const
{
    return std::count_if(m_back.begin(), m_back.end(), [&](NodeId node) { return tree.Exists(node); }) > 1;
}

bool NavigationHistory::CanGoForward(const NodeTree& tree) const
{
    return std::any_of(m_forward.begin(), m_forward.end(), [&](NodeId node) { return tree.Exists(node); });
}

NodeId NavigationHistory::TakeBack(const NodeTree& tree)
{
    if (m_back.size() < 2)
        return 0;
    const NodeId shown = m_back.front();
    m_back.pop_front();
    const NodeId target = TakeFirstLiving(m_back, tree);
    if (target == 0) {
        // Nothing left to go back to: the shown node stays where it was.
        m_back.push_front(shown);
        return 0;
    }
    m_forward.push_front(shown);
    return target;
}

void NavigationHistory::BackFailed()
{
    if (m_forward.empty())
        return;
    m_back.push_front(m_forward.front());
    m_forward.pop_front();
}

NodeId NavigationHistory::TakeForward(const NodeTree& tree)
{
    return TakeFirstLiving(m_forward, tree);
}

void NavigationHistory::PurgeFromHistory(const std::vector<NodeId>& subtree, const NodeTree& tree,
                                         const std::function<void(const QString&)>& log)
{
    const auto purge = [&](std::deque<NodeId>& list, NodeId node, const QString& line) {
        for (auto at = list.begin(); at != list.end();) {
            if (*at == node) {
                at = list.erase(at);
                log(line);
            } else {
                ++at;
            }
        }
    };
    for (NodeId node : subtree) {
        const QString text = tree.NodeText(node);
        log(text + QStringLiteral(": Removing information."));
        purge(m_back, node, text + QStringLiteral(": Removing from back list."));
    }
    for (NodeId node : subtree)
        purge(m_forward, node, tree.NodeText(node) + QStringLiteral(": Removing from forward list."));
    // The node shown last may have gone with the subtree: the head of the back list is then what
    // the user sees, so selecting it again must not record it a second time.
    if (std::find(subtree.begin(), subtree.end(), m_lastShown) != subtree.end())
        m_lastShown = m_back.empty() ? 0 : m_back.front();
}

NodeId NavigationHistory::TakeFirstLiving(std::deque<NodeId>& list, const NodeTree& tree)
{
    while (!list.empty()) {
        const NodeId node = list.front();
        list.pop_front();
        if (tree.Exists(node))
            return node;
    }
    return 0;
}

} // namespace velkaro

#pragma once

#include "explorer/hub/FindSearch.h"

#include <functional>

namespace velkaro {

class DatabaseList;
class FindHistory;
class NodeTree;
class ProfileStore;
class TreeViewPort;
class UserPrompt;
struct FindRequest;

// The Find and Find Next commands: the dialog through the port, the search (FindSearch), the wait
// cursor and the selection of what was found. Interface thread only.
class FindCommands final
{
public:
    // The port may change or go (the tree pane's teardown); selectNode selects a tree node.
    FindCommands(FindSearch& search, FindHistory& history, const NodeTree& tree,
                 const DatabaseList& databases, ProfileStore& store, UserPrompt& prompt,
                 std::function<TreeViewPort*()> port, std::function<bool(NodeId)> selectNode);
    FindCommands(const FindCommands&) = delete;
    FindCommands& operator=(const FindCommands&) = delete;

    // The dialog, then Run with its answer.
    void Find();
    // What the Find dialog's buttons start: a new search, or Find Next.
    void Run(const FindRequest& request);
    void FindNext();

private:
    void SearchAndShow(bool continuing);
    void ShowMatch(const FindMatch& match);

    FindSearch& m_search;
    FindHistory& m_history;
    const NodeTree& m_tree;
    const DatabaseList& m_databases;
    ProfileStore& m_store;
    UserPrompt& m_prompt;
    std::function<TreeViewPort*()> m_port;
    std::function<bool(NodeId)> m_selectNode;
};

} // namespace velkaro

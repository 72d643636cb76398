#include "explorer/hub/FindCommands.h"

#include "common/ProfileStore.h"
#include "common/UserPrompt.h"
#include "explorer/core/DatabaseList.h"
#include "explorer/core/FindHistory.h"
#include "explorer/core/NodeTree.h"
#include "explorer/hub/TreeViewPort.h"

namespace velkaro {

FindCommands::FindCommands(FindSearch& search, FindHistory& history, const NodeTree& tree,
                           const DatabaseList& databases, ProfileStore& store, UserPrompt& prompt,
                           std::function<TreeViewPort*()> port, std::function<bool(NodeId)> selectNode)
    : m_search(search), m_history(history), m_tree(tree), m_databases(databases), m_store(store),
      m_prompt(prompt), m_port(std::move(port)), m_selectNode(std::move(selectNode))
{}

void FindCommands::Find()
{
    TreeViewPort* port = m_port();
    if (!port)
        return;
    FindDialogInput input{m_search.SearchString(), m_history.Strings(), {m_tree.NodeText(m_tree.Root())}};
    for (const DatabaseEntryPtr& entry : m_databases.Entries())
        input.lookIn.append(entry->alias);
    if (const std::optional<FindRequest> request = port->AskFind(input))
        Run(*request);
}

void FindCommands::Run(const FindRequest& request)
{
    if (request.findNext) {
        FindNext();
        return;
    }
    if (request.text.isEmpty())
        return;
    if (!request.options.Save(m_store))
        m_prompt.ShowError(QStringLiteral("Could not save the find options."));
    m_search.Start(request.text, request.options, request.scope);
    m_history.Remember(request.text);
    SearchAndShow(false);
}

void FindCommands::FindNext()
{
    if (m_search.SearchString().isEmpty()) {
        Find();
        return;
    }
    SearchAndShow(true);
}

void FindCommands::SearchAndShow(bool continuing)
{
    if (TreeViewPort* port = m_port())
        port->SetBusyCursor(true);
    const std::optional<FindMatch> match = m_search.Run(continuing);
    if (match)
        ShowMatch(*match);
    // The message box gets the ordinary pointer.
    if (TreeViewPort* port = m_port())
        port->SetBusyCursor(false);
    if (!match)
        m_prompt.ShowMessage(QStringLiteral("Cannot find string '") + m_search.SearchString() +
                             QStringLiteral("'."));
}

void FindCommands::ShowMatch(const FindMatch& match)
{
    TreeViewPort* port = m_port();
    if (!port)
        return;
    // Selecting fills the list pane; a node already selected has its rows listed (or being listed).
    if (!m_selectNode(match.node))
        return;
    if (match.SelectsRow())
        port->SelectListRow(match.row);
    else
        port->FocusTree();
}

} // namespace velkaro

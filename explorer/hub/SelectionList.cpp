#include "explorer/hub/SelectionList.h"

#include "catalog/CDbSession.h"
#include "common/UserPrompt.h"
#include "explorer/core/ObjectNodes.h"
#include "explorer/hub/ListPaneRows.h"

#include <QPointer>

namespace velkaro {

SelectionList::SelectionList(std::shared_ptr<HubRuntime> runtime, const DatabaseList& databases,
                             UserPrompt& prompt, const QObject* owner, std::function<NodeId()> selected)
    : m_runtime(std::move(runtime)), m_databases(databases), m_prompt(prompt), m_owner(owner),
      m_selected(std::move(selected))
{}

std::optional<ListFill> SelectionList::FillFor(NodeId node, int level) const
{
    switch (level) {
    case 0:
        return ListPaneRows::Databases(m_runtime->tree, m_databases);
    case 1: {
        const DatabaseEntryPtr entry = m_databases.FindEntryByNode(node);
        if (!entry || !m_runtime->tree.HasChildren(node))
            return ListFill{};
        ListFill fill = ListPaneRows::Objects(entry->session->Objects());
        fill.stop = StopCheck(QStringLiteral("Working thread terminated while showing database."), node);
        return fill;
    }
    case 2:
        return ListObjectContents(node);
    case 3:
        return ListIndexColumns(node);
    default:
        return ListFill{};
    }
}

std::optional<ListFill> SelectionList::ListObjectContents(NodeId objectNode) const
{
    const QString stopLine = QStringLiteral("Working thread terminated while showing object.");
    const auto object = FindObject(objectNode, stopLine);
    if (!object)
        return std::nullopt;
    ListFill fill = ListPaneRows::ObjectContents(*object);
    fill.stop = StopCheck(stopLine);
    return fill;
}

std::optional<ListFill> SelectionList::ListIndexColumns(NodeId indexNode) const
{
    const QString stopLine = QStringLiteral("Working thread terminated while showing index.");
    const auto object = FindObject(m_runtime->tree.Parent(indexNode), stopLine);
    if (!object)
        return std::nullopt;
    std::optional<ListFill> fill = ListPaneRows::IndexColumns(*object, m_runtime->tree.NodeText(indexNode));
    if (!fill) {
        m_prompt.ShowError(QStringLiteral("Index not found, please refresh this database."));
        return std::nullopt;
    }
    fill->stop = StopCheck(stopLine);
    return fill;
}

// The object of objectNode; null (with the user told, unless the search was stopped) when gone.
std::shared_ptr<ObjectRecord> SelectionList::FindObject(NodeId objectNode, const QString& stopLine) const
{
    // Only this thread sets the stop request, so it cannot arrive during the search.
    if ((m_runtime->terminateRequested.load() != 0)) {
        if (!stopLine.isEmpty())
            m_runtime->log.WriteLog(stopLine);
        return nullptr;
    }
    DatabaseEntryPtr entry = m_databases.FindEntryByNode(m_runtime->tree.Parent(objectNode));
    auto object =
        entry ? ObjectNodes::ObjectOf(m_runtime->tree, entry->session->Objects(), objectNode) : nullptr;
    if (!object && !stopLine.isEmpty())
        m_prompt.ShowError(QStringLiteral("Table not found, something is wrong"));
    return object;
}

// Asked by the list pane before each row: true ends the fill, logging line when the workers are
// being stopped; a fill for keptSelection also ends once another node is selected.
std::function<bool()> SelectionList::StopCheck(const QString& line, NodeId keptSelection) const
{
    std::weak_ptr<HubRuntime> weakRuntime = m_runtime;
    QPointer<const QObject> owner(m_owner);
    return [weakRuntime, owner, selected = m_selected, line, keptSelection] {
        auto runtime = weakRuntime.lock();
        if (!runtime || !owner)
            return true;
        if (runtime->terminateRequested.load() != 0) {
            runtime->log.WriteLog(line);
            return true;
        }
        return keptSelection != 0 && selected() != keptSelection;
    };
}

} // namespace velkaro

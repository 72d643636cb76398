#include "explorer/hub/SelectionList.h"

#include "catalog/CDbSession.h"
#include "common/UserPrompt.h"
#include "explorer/hub/ListPaneRows.h"

#include <QPointer>

namespace velkaro {

SelectionList::SelectionList(std::shared_ptr<HubRuntime> runtime, const DatabaseList& databases,
                             UserPrompt& prompt, const QObject* owner, std::function<NodeId()> selected)
    : m_runtime(std::move(runtime)), m_databases(databases), m_prompt(prompt), m_owner(owner),
      m_selected(std::move(selected))
{}

std::optional<ListFill> SelectionList::fillFor(NodeId node, int level) const
{
    switch (level) {
    case 0:
        return ListPaneRows::databases(m_runtime->tree, m_databases);
    case 1: {
        const DatabaseEntryPtr entry = m_databases.FindEntryByNode(node);
        if (!entry || !m_runtime->tree.hasChildren(node))
            return ListFill{};
        ListFill fill = ListPaneRows::objects(entry->session->objects());
        fill.stop = stopCheck(QStringLiteral("Working thread terminated while showing database."), node);
        return fill;
    }
    case 2:
        return listObjectContents(node);
    case 3:
        return listIndexColumns(node);
    default:
        return ListFill{};
    }
}

std::optional<ListFill> SelectionList::listObjectContents(NodeId objectNode) const
{
    const QString stopLine = QStringLiteral("Working thread terminated while showing object.");
    const auto object = findObject(objectNode, stopLine);
    if (!object)
        return std::nullopt;
    ListFill fill = ListPaneRows::objectContents(*object);
    fill.stop = stopCheck(stopLine);
    return fill;
}

std::optional<ListFill> SelectionList::listIndexColumns(NodeId indexNode) const
{
    const QString stopLine = QStringLiteral("Working thread terminated while showing index.");
    const auto object = findObject(m_runtime->tree.parent(indexNode), stopLine);
    if (!object)
        return std::nullopt;
    std::optional<ListFill> fill = ListPaneRows::indexColumns(*object, m_runtime->tree.NodeText(indexNode));
    if (!fill) {
        m_prompt.showMessage(QStringLiteral("Index not found, please refresh this database."));
        return std::nullopt;
    }
    fill->stop = stopCheck(stopLine);
    return fill;
}

// The object of objectNode; null (with the user told, unless the search was stopped) when gone.
std::shared_ptr<ObjectRecord> SelectionList::findObject(NodeId objectNode, const QString& stopLine) const
{
    // Only this thread sets the stop request, so it cannot arrive during the search.
    if ((m_runtime->terminateRequested.load() != 0)) {
        if (!stopLine.isEmpty())
            m_runtime->log.WriteLog(stopLine);
        return nullptr;
    }
    DatabaseEntryPtr entry = m_databases.FindEntryByNode(m_runtime->tree.parent(objectNode));
    auto object =
        entry ? ListPaneRows::findObject(entry->session->objects(), m_runtime->tree.NodeText(objectNode))
              : nullptr;
    if (!object && !stopLine.isEmpty())
        m_prompt.showMessage(QStringLiteral("Table not found, something is wrong"));
    return object;
}

// Asked by the list pane before each row: true ends the fill, logging line when the workers are
// being stopped; a fill for keptSelection also ends once another node is selected.
std::function<bool()> SelectionList::stopCheck(const QString& line, NodeId keptSelection) const
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

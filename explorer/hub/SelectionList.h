#pragma once

#include "explorer/core/DatabaseList.h"
#include "explorer/hub/HubRuntime.h"
#include "explorer/hub/ListFill.h"

#include <QObject>
#include <functional>
#include <memory>
#include <optional>

namespace velkaro {

class ObjectRecord;
class UserPrompt;

// The list pane's fill for a selected node: finds the node's database and object, takes the rows
// from ListPaneRows and adds the check the pane makes before each row. Tells the user when the
// object or index is gone. Interface thread only.
class SelectionList final
{
public:
    // The fills' checks end once owner is destroyed; selected gives the tree pane's selection.
    SelectionList(std::shared_ptr<HubRuntime> runtime, const DatabaseList& databases, UserPrompt& prompt,
                  const QObject* owner, std::function<NodeId()> selected);

    // Nothing when there is nothing to show (the object or index is gone, or a stop is served).
    std::optional<ListFill> FillFor(NodeId node, int level) const;
    // The object of objectNode; null (with the user told, unless stopLine is empty) when gone,
    // and when a stop request is served (logging stopLine).
    std::shared_ptr<ObjectRecord> FindObject(NodeId objectNode, const QString& stopLine) const;

private:
    std::optional<ListFill> ListObjectContents(NodeId objectNode) const;
    std::optional<ListFill> ListIndexColumns(NodeId indexNode) const;
    std::function<bool()> StopCheck(const QString& line, NodeId keptSelection = 0) const;

    std::shared_ptr<HubRuntime> m_runtime;
    const DatabaseList& m_databases;
    UserPrompt& m_prompt;
    const QObject* m_owner;
    std::function<NodeId()> m_selected;
};

} // namespace velkaro

#pragma once

#include "explorer/core/NodeTree.h"
#include "explorer/hub/ListFill.h"

#include <QStringList>
#include <memory>
#include <optional>

namespace velkaro {

class CDbSession;

// A database the user chose and connected to in the Add Database dialog.
struct ChosenDatabase
{
    std::shared_ptr<CDbSession> session;
    QString alias;
    bool reconnect = true;
    bool ownerOnly = false;
};

// What the hub asks of the tree and list panes. Called on the interface thread only.
class TreeViewPort
{
public:
    virtual ~TreeViewPort() = default;

    virtual NodeId selectedNode() const = 0;
    // Shows the tree's pending changes, then selects node; the selection change comes back to
    // the hub through ExplorerHub::OnSelectionChanged. False when the tree does not hold node.
    virtual bool selectNode(NodeId node) = 0;
    // The node tree has changes the widget has not shown yet.
    virtual void treeChangesPending() = 0;

    virtual int columnSet() const = 0;
    // Stores the widths of the set being left and shows the columns of set.
    virtual void switchColumnSet(int set) = 0;
    virtual void fillList(ListFill fill) = 0;

    // The location bar's list, most recent first; the first one is shown.
    virtual void showLocations(const QStringList& paths) = 0;
    virtual void setBusyCursor(bool busy) = 0;
    // Lets the interface thread serve its queued events for about ms milliseconds.
    virtual void pause(int ms) = 0;
    virtual void showTerminateWait(bool shown) = 0;
    virtual void showTerminateCountdown(int value) = 0;

    // The Add Database dialog; nothing when the user cancels.
    virtual std::optional<ChosenDatabase> chooseDatabase() = 0;
    // The Remove Database dialog over aliases; "" when the user cancels.
    virtual QString chooseDatabaseToRemove(const QStringList& aliases) = 0;
};

} // namespace velkaro

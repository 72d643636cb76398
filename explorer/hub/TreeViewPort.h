#pragma once

#include "explorer/core/FindOptions.h"
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

// What the Find dialog opens with.
struct FindDialogInput
{
    QString text;        // the search string in progress
    QStringList history; // most recent first
    QStringList lookIn;  // the root's text, then the aliases in database-list order
};

// How the user closed the Find dialog: "Find" with what to search, or "Find Next".
struct FindRequest
{
    bool findNext = false;
    QString text;
    FindOptions options;
    QString scope; // the "Look in:" text
};

// What the hub asks of the tree and list panes. Called on the interface thread only.
class TreeViewPort
{
public:
    virtual ~TreeViewPort() = default;

    virtual NodeId SelectedNode() const = 0;
    // Shows the tree's pending changes, then selects node; the selection change comes back to
    // the hub through ExplorerHub::OnSelectionChanged. False when the tree does not hold node.
    virtual bool SelectNode(NodeId node) = 0;
    // The node tree has changes the widget has not shown yet.
    virtual void TreeChangesPending() = 0;

    virtual int ColumnSet() const = 0;
    // Stores the widths of the set being left and shows the columns of set.
    virtual void SwitchColumnSet(int set) = 0;
    virtual void FillList(ListFill fill) = 0;
    // Selects the column or index column row named text once the list holds it (a fill in
    // progress is let finish), with the keyboard focus.
    virtual void SelectListRow(const QString& text) = 0;
    virtual void FocusTree() = 0;

    // The location bar's list, most recent first; the first one is shown.
    virtual void ShowLocations(const QStringList& paths) = 0;
    virtual void SetBusyCursor(bool busy) = 0;
    // Lets the interface thread serve its queued events for about ms milliseconds.
    virtual void Pause(int ms) = 0;
    virtual void ShowTerminateWait(bool shown) = 0;
    virtual void ShowTerminateCountdown(int value) = 0;

    // The Add Database dialog; nothing when the user cancels.
    virtual std::optional<ChosenDatabase> ChooseDatabase() = 0;
    // The Remove Database dialog over aliases; "" when the user cancels.
    virtual QString ChooseDatabaseToRemove(const QStringList& aliases) = 0;
    // The Find dialog; nothing when the user cancels.
    virtual std::optional<FindRequest> AskFind(const FindDialogInput& input) = 0;
};

} // namespace velkaro

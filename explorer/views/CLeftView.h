#pragma once

#include "explorer/hub/ExplorerHub.h"
#include "explorer/hub/TreeViewPort.h"
#include "explorer/views/CVelkaroView.h"
#include "explorer/views/TerminateWaitDisplay.h"

#include <QComboBox>
#include <QHash>
#include <QMenu>
#include <QPoint>
#include <QPointer>
#include <QTreeWidget>
#include <functional>
#include <memory>

namespace velkaro {

class ProfileStore;
class UserPrompt;

// The tree pane: shows the node tree, turns the user's clicks into hub calls and carries out what
// the hub asks of the panes (the main window runs the commands on the hub itself). Changes that workers make
// to the node tree are replayed here in batches, so a large load never holds the interface thread for long.
class CLeftView final : public QTreeWidget, public TreeViewPort
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CLeftView)

public:
    // Node changes shown per turn of the event loop, at most.
    static constexpr std::size_t kReplayBatch = 250;
    // A turn also ends once it has taken this long, however few changes it showed.
    static constexpr int kReplayBudgetMs = 20;
    // How long the first change waits so that a worker's next ones join it in one turn.
    static constexpr int kReplayGatherMs = 40;

    CLeftView(ProfileStore& store, UserPrompt& prompt, QWidget* parent = nullptr);
    ~CLeftView() override;

    void SetListView(CVelkaroView* list);
    void SetLocationBar(QComboBox* combo);
    void SetTerminateWaitDialogFactory(std::function<std::unique_ptr<TerminateWaitDisplay>()> factory);
    QMenu* ContextMenu() const { return m_menu; }
    void SetContextMenu(QMenu* menu);

    ExplorerHub& Hub() { return *m_hub; }
    CVelkaroView* ListView() const { return m_list; }
    QTreeWidgetItem* ItemForNode(NodeId node) const { return m_items.value(node); }
    static NodeId NodeOf(const QTreeWidgetItem* item);
    // Shows every pending node change now.
    void ReplayTreeChanges();

    // TreeViewPort
    NodeId SelectedNode() const override;
    bool SelectNode(NodeId node) override;
    void TreeChangesPending() override;
    int ColumnSet() const override;
    void SwitchColumnSet(int set) override;
    void FillList(ListFill fill) override;
    void SelectListRow(const QString& text) override;
    void FocusTree() override;
    void ShowLocations(const QStringList& paths) override;
    void SetBusyCursor(bool busy) override;
    void Pause(int ms) override;
    void ShowTerminateWait(bool shown) override;
    void ShowTerminateCountdown(int value) override;
    std::optional<ChosenDatabase> ChooseDatabase() override;
    QString ChooseDatabaseToRemove(const QStringList& aliases) override;
    std::optional<FindRequest> AskFind(const FindDialogInput& input) override;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void ReplayBatch();
    void ScheduleReplay(int delayMs);
    void ApplyChanges(const std::vector<NodeChange>& changes);
    void InsertItem(const NodeChange& change);
    void DeleteItems(QTreeWidgetItem* item, bool itself);
    void ForgetItem(QTreeWidgetItem* item);
    void MoveCurrentOutOf(QTreeWidgetItem* item, bool itself);
    void OnCurrentItemChanged(QTreeWidgetItem* current);
    void OnLocationPicked(int index);

    ProfileStore& m_store;
    UserPrompt& m_prompt;
    std::unique_ptr<ExplorerHub> m_hub;
    QPointer<CVelkaroView> m_list;
    QPointer<QComboBox> m_location;
    QPointer<QMenu> m_menu;
    std::function<std::unique_ptr<TerminateWaitDisplay>()> m_waitFactory;
    std::unique_ptr<TerminateWaitDisplay> m_waitDisplay;
    QHash<NodeId, QTreeWidgetItem*> m_items;
    QPoint m_rightPressPoint;
    int m_fallbackColumnSet = 0;
    int m_busyDepth = 0;
    bool m_replayScheduled = false;
    bool m_replaying = false;
    bool m_silent = false;
    NodeId m_movedSelection = 0;
};

} // namespace velkaro

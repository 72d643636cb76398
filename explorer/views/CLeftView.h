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

    void setListView(CVelkaroView* list);
    void setLocationBar(QComboBox* combo);
    void setTerminateWaitDialogFactory(std::function<std::unique_ptr<TerminateWaitDisplay>()> factory);
    QMenu* contextMenu() const { return m_menu; }
    void setContextMenu(QMenu* menu);

    ExplorerHub& hub() { return *m_hub; }
    CVelkaroView* listView() const { return m_list; }
    QTreeWidgetItem* itemForNode(NodeId node) const { return m_items.value(node); }
    static NodeId nodeOf(const QTreeWidgetItem* item);
    // Shows every pending node change now.
    void replayTreeChanges();

    // TreeViewPort
    NodeId selectedNode() const override;
    bool selectNode(NodeId node) override;
    void treeChangesPending() override;
    int columnSet() const override;
    void switchColumnSet(int set) override;
    void fillList(ListFill fill) override;
    void showLocations(const QStringList& paths) override;
    void setBusyCursor(bool busy) override;
    void pause(int ms) override;
    void showTerminateWait(bool shown) override;
    void showTerminateCountdown(int value) override;
    std::optional<ChosenDatabase> chooseDatabase() override;
    QString chooseDatabaseToRemove(const QStringList& aliases) override;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void replayBatch();
    void scheduleReplay(int delayMs);
    void applyChanges(const std::vector<NodeChange>& changes);
    void insertItem(const NodeChange& change);
    void deleteItems(QTreeWidgetItem* item, bool itself);
    void forgetItem(QTreeWidgetItem* item);
    void moveCurrentOutOf(QTreeWidgetItem* item, bool itself);
    void onCurrentItemChanged(QTreeWidgetItem* current);
    void onLocationPicked(int index);

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

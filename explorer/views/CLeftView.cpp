#include "explorer/views/CLeftView.h"

#include "common/UserPrompt.h"
#include "explorer/views/CAddDatabaseDlg.h"
#include "explorer/views/CFindDlg.h"
#include "explorer/views/CRemoveDatabaseDlg.h"
#include "explorer/views/CVelkaroView.h"
#include "explorer/views/ComboListChoice.h"
#include "explorer/views/NodeImageList.h"

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>

namespace velkaro {

CLeftView::CLeftView(ProfileStore& store, UserPrompt& prompt, QWidget* parent)
    : QTreeWidget(parent), m_store(store), m_prompt(prompt),
      m_hub(std::make_unique<ExplorerHub>(store, prompt))
{
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setItemsExpandable(true);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setIconSize(QSize(NodeImageList::kSize, NodeImageList::kSize));
    m_hub->SetPort(this);
    connect(this, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem*) { OnCurrentItemChanged(current); });
}

CLeftView::~CLeftView()
{
    m_hub->Shutdown();
    m_hub->SetPort(nullptr);
    m_waitDisplay.reset();
    while (m_busyDepth > 0)
        SetBusyCursor(false);
}

void CLeftView::SetListView(CVelkaroView* list)
{
    m_list = list;
    if (!list)
        return;
    connect(list, &CVelkaroView::RowActivated, this,
            [this](const QString& text) { m_hub->SelectChildByText(text); });
}

void CLeftView::SetLocationBar(QComboBox* combo)
{
    m_location = combo;
    if (!combo)
        return;
    // Picking an entry from the list navigates; typing, Enter or leaving the field do not.
    connect(new ComboListChoice(combo), &ComboListChoice::Chosen, this, &CLeftView::OnLocationPicked);
}

void CLeftView::SetTerminateWaitDialogFactory(std::function<std::unique_ptr<TerminateWaitDisplay>()> factory)
{
    m_waitFactory = std::move(factory);
}

void CLeftView::SetContextMenu(QMenu* menu)
{
    m_menu = menu;
}

// ---- the database dialogs ----

std::optional<ChosenDatabase> CLeftView::ChooseDatabase()
{
    CAddDatabaseDlg dialog(
        m_store, m_prompt, [this](const QString& name) { return m_hub->Databases().MakeUniqueAlias(name); },
        &m_hub->GetActivityLog(), this);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    auto session = dialog.Session();
    if (!session)
        return std::nullopt;
    return ChosenDatabase{std::move(session), dialog.Alias(), dialog.Reconnect(), dialog.OwnerOnly()};
}

QString CLeftView::ChooseDatabaseToRemove(const QStringList& aliases)
{
    CRemoveDatabaseDlg dialog(aliases, m_prompt, this);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.ChosenAlias();
}

std::optional<FindRequest> CLeftView::AskFind(const FindDialogInput& input)
{
    CFindDlg dialog(input, m_store, m_prompt, this);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Request();
}

// ---- node tree replay ----

NodeId CLeftView::NodeOf(const QTreeWidgetItem* item)
{
    return item ? item->data(0, Qt::UserRole).toULongLong() : 0;
}

void CLeftView::TreeChangesPending()
{
    // Every turn that changes the tree costs the view a layout pass over all shown rows; a worker
    // adding one table at a time would pay it per table, so its changes gather for a moment first.
    ScheduleReplay(kReplayGatherMs);
}

void CLeftView::ScheduleReplay(int delayMs)
{
    if (m_replayScheduled)
        return;
    m_replayScheduled = true;
    QTimer::singleShot(delayMs, this, [this] {
        m_replayScheduled = false;
        ReplayBatch();
    });
}

void CLeftView::ReplayBatch()
{
    if (m_replaying)
        return;
    // Small steps until the turn's budget is spent: on a busy machine each insert costs more.
    constexpr std::size_t kStep = 50;
    QElapsedTimer spent;
    spent.start();
    for (std::size_t shown = 0; shown < kReplayBatch && spent.elapsed() < kReplayBudgetMs; shown += kStep) {
        const std::vector<NodeChange> changes = m_hub->Tree().TakeChanges(kStep);
        if (changes.empty())
            break;
        ApplyChanges(changes);
    }
    if (m_hub->Tree().HasPendingChanges())
        ScheduleReplay(0);
}

void CLeftView::ReplayTreeChanges()
{
    if (m_replaying)
        return;
    while (m_hub->Tree().HasPendingChanges())
        ApplyChanges(m_hub->Tree().TakeChanges(kReplayBatch));
}

void CLeftView::ApplyChanges(const std::vector<NodeChange>& changes)
{
    if (changes.empty())
        return;
    m_replaying = true;
    m_movedSelection = 0;
    for (const NodeChange& change : changes) {
        QTreeWidgetItem* item = m_items.value(change.node);
        switch (change.kind) {
        case NodeChange::Kind::Inserted:
            InsertItem(change);
            break;
        case NodeChange::Kind::ChildrenDeleted:
            if (item)
                DeleteItems(item, false);
            break;
        case NodeChange::Kind::Removed:
            if (item)
                DeleteItems(item, true);
            break;
        case NodeChange::Kind::TextChanged:
            if (item)
                item->setText(0, change.text);
            break;
        }
    }
    m_replaying = false;
    // The selected node went away: the selection now rests on its nearest surviving ancestor.
    if (const NodeId moved = std::exchange(m_movedSelection, 0))
        m_hub->OnSelectionChanged(moved);
}

void CLeftView::InsertItem(const NodeChange& change)
{
    auto* item = new QTreeWidgetItem;
    item->setText(0, change.text);
    item->setToolTip(0, change.toolTip);
    item->setIcon(0, NodeImageList::NodeIcon(change.image, change.selectedImage));
    item->setData(0, Qt::UserRole, QVariant::fromValue<qulonglong>(change.node));
    item->setData(0, Qt::UserRole + 1, change.image);
    item->setData(0, Qt::UserRole + 2, change.selectedImage);
    QTreeWidgetItem* parentItem = m_items.value(change.parent);
    if (change.parent == 0) {
        insertTopLevelItem(std::clamp(change.position, 0, topLevelItemCount()), item);
    } else if (parentItem) {
        parentItem->insertChild(std::clamp(change.position, 0, parentItem->childCount()), item);
        // Database nodes show as soon as they are added.
        if (!parentItem->parent())
            parentItem->setExpanded(true);
    } else {
        delete item;
        return;
    }
    m_items.insert(change.node, item);
}

void CLeftView::ForgetItem(QTreeWidgetItem* item)
{
    m_items.remove(NodeOf(item));
    for (int child = 0; child < item->childCount(); ++child)
        ForgetItem(item->child(child));
}

void CLeftView::MoveCurrentOutOf(QTreeWidgetItem* item, bool itself)
{
    QTreeWidgetItem* current = currentItem();
    if (!current)
        return;
    bool inside = false;
    for (QTreeWidgetItem* walk = itself ? current : current->parent(); walk; walk = walk->parent()) {
        if (walk == item) {
            inside = true;
            break;
        }
    }
    if (!inside)
        return;
    QTreeWidgetItem* survivor = itself ? item->parent() : item;
    m_silent = true;
    setCurrentItem(survivor);
    m_silent = false;
    m_movedSelection = NodeOf(survivor);
}

void CLeftView::DeleteItems(QTreeWidgetItem* item, bool itself)
{
    MoveCurrentOutOf(item, itself);
    if (itself) {
        ForgetItem(item);
        delete item;
        return;
    }
    const QList<QTreeWidgetItem*> children = item->takeChildren();
    for (QTreeWidgetItem* child : children) {
        ForgetItem(child);
        delete child;
    }
}

// ---- selection ----

NodeId CLeftView::SelectedNode() const
{
    return NodeOf(currentItem());
}

bool CLeftView::SelectNode(NodeId node)
{
    ReplayTreeChanges();
    QTreeWidgetItem* item = m_items.value(node);
    if (!item)
        return false;
    if (item != currentItem())
        setCurrentItem(item);
    scrollToItem(item);
    return true;
}

void CLeftView::OnCurrentItemChanged(QTreeWidgetItem* current)
{
    if (m_silent || !current)
        return;
    m_hub->OnSelectionChanged(NodeOf(current));
}

void CLeftView::mousePressEvent(QMouseEvent* event)
{
    // A right click leaves the selection alone: the menu's commands act on the selected node.
    if (event->button() == Qt::RightButton) {
        m_rightPressPoint = event->globalPosition().toPoint();
        event->accept();
        return;
    }
    QTreeWidget::mousePressEvent(event);
}

void CLeftView::contextMenuEvent(QContextMenuEvent* event)
{
    if (m_menu) {
        const QPoint point = event->reason() == QContextMenuEvent::Mouse && !m_rightPressPoint.isNull()
                                 ? m_rightPressPoint
                                 : event->globalPos();
        m_menu->exec(point);
    }
    event->accept();
}

// ---- list pane and location bar ----

int CLeftView::ColumnSet() const
{
    return m_list ? m_list->ColumnSet() : m_fallbackColumnSet;
}

void CLeftView::SwitchColumnSet(int set)
{
    m_fallbackColumnSet = set;
    if (!m_list)
        return;
    m_list->SaveColumnWidths(m_list->ColumnSet());
    m_list->SetColumnSet(set);
}

void CLeftView::FillList(ListFill fill)
{
    if (m_list)
        m_list->Fill(std::move(fill));
}

void CLeftView::SelectListRow(const QString& text)
{
    if (m_list)
        m_list->SelectRowByText(text);
}

void CLeftView::FocusTree()
{
    setFocus(Qt::OtherFocusReason);
}

void CLeftView::ShowLocations(const QStringList& paths)
{
    if (!m_location)
        return;
    const QSignalBlocker blocker(m_location);
    m_location->clear();
    m_location->addItems(paths);
    m_location->setCurrentIndex(paths.isEmpty() ? -1 : 0);
    if (!paths.isEmpty())
        m_location->setEditText(paths.first());
}

void CLeftView::OnLocationPicked(int index)
{
    if (!m_location)
        return;
    const QString path = m_location->itemText(index);
    m_location->setEditText(path);
    m_hub->GoToLocation(path);
}

// ---- waiting ----

void CLeftView::SetBusyCursor(bool busy)
{
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++m_busyDepth;
    } else if (m_busyDepth > 0) {
        QApplication::restoreOverrideCursor();
        --m_busyDepth;
    }
}

void CLeftView::Pause(int ms)
{
    // A nested loop rather than a sleep: requests the workers post are still carried out.
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void CLeftView::ShowTerminateWait(bool shown)
{
    if (shown && m_waitFactory)
        m_waitDisplay = m_waitFactory();
    else if (!shown)
        m_waitDisplay.reset();
}

void CLeftView::ShowTerminateCountdown(int value)
{
    if (m_waitDisplay)
        m_waitDisplay->ShowCountdown(value);
}

} // namespace velkaro

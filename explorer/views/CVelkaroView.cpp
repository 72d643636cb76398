#include "explorer/views/CVelkaroView.h"

#include "common/ProfileStore.h"
#include "explorer/core/NodeImages.h"
#include "explorer/views/NodeImageList.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QTimer>
#include <utility>

namespace velkaro {

namespace {

const char* const kSettingsSection = "Settings";

QStringList columnNames(int set)
{
    switch (set) {
    case 0:
        return {QStringLiteral("Name"), QStringLiteral("User Name"), QStringLiteral("DBMS"),
                QStringLiteral("Version")};
    case 1:
        return {QStringLiteral("Name"), QStringLiteral("Type"), QStringLiteral("Owner"),
                QStringLiteral("Remarks")};
    case 2:
        return {QStringLiteral("Name"), QStringLiteral("Null/Unique"), QStringLiteral("Type"),
                QStringLiteral("Size")};
    default:
        return {QStringLiteral("Name")};
    }
}

QString widthName(int set, int column)
{
    return QStringLiteral("C-%1%2").arg(set).arg(column);
}

// "Size" of the object set is the one right-aligned column.
bool rightAligned(int set, int column)
{
    return set == 2 && column == 3;
}

} // namespace

CVelkaroView::CVelkaroView(ProfileStore& store, QWidget* parent) : QTreeWidget(parent), m_store(store)
{
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSortingEnabled(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setIconSize(QSize(NodeImageList::kSize, NodeImageList::kSize));
    header()->setSectionsClickable(false);
    header()->setStretchLastSection(false);
    connect(this, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item, int) { OpenRow(item); });
}

void CVelkaroView::OpenRow(const QTreeWidgetItem* item)
{
    if (!item)
        return;
    const int image = RowImage(item);
    if (image != NodeImage::Column && image != NodeImage::IndexColumn)
        emit RowActivated(item->text(0));
}

void CVelkaroView::keyPressEvent(QKeyEvent* event)
{
    // Enter opens the current row as a double click does.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentItem()) {
        event->accept();
        OpenRow(currentItem());
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

QList<int> CVelkaroView::DefaultColumnWidths(int set, int clientWidth)
{
    const int fifth = clientWidth / 5;
    const int quarter = clientWidth / 4;
    switch (set) {
    case 0:
        return {2 * fifth, fifth, fifth, fifth};
    case 1:
        return {2 * fifth, fifth, fifth, 2 * fifth};
    case 2:
        return {quarter * 2, quarter, quarter, clientWidth / 8};
    default:
        return {quarter};
    }
}

void CVelkaroView::SetColumnSet(int set)
{
    ++m_generation;
    m_fillActive = false;
    m_pendingRow.clear();
    clear();
    const QStringList names = columnNames(set);
    setColumnCount(static_cast<int>(names.size()));
    setHeaderLabels(names);
    for (int column = 0; column < names.size(); ++column) {
        headerItem()->setTextAlignment(column, rightAligned(set, column) ? Qt::AlignRight | Qt::AlignVCenter
                                                                         : Qt::AlignLeft | Qt::AlignVCenter);
    }
    // One missing or unusable width gives the whole set its defaults.
    QList<int> widths;
    bool stored = true;
    for (int column = 0; column < names.size(); ++column) {
        const int width = m_store.ReadInt(QLatin1String(kSettingsSection), widthName(set, column), 0);
        stored = stored && width > 0;
        widths.append(width);
    }
    if (!stored)
        widths = DefaultColumnWidths(set, viewport()->width());
    for (int column = 0; column < widths.size(); ++column)
        setColumnWidth(column, widths.at(column));
    m_set = set;
}

void CVelkaroView::SaveColumnWidths(int set)
{
    if (set < 0 || set != m_set)
        return;
    // Every write flushes the settings file to disk, which holds the interface thread for a while on a
    // busy machine; a width the store already holds is left alone.
    for (int column = 0; column < columnCount(); ++column) {
        const QString name = widthName(set, column);
        const int width = columnWidth(column);
        if (m_store.ReadInt(QLatin1String(kSettingsSection), name, width - 1) != width)
            m_store.WriteInt(QLatin1String(kSettingsSection), name, width);
    }
}

int CVelkaroView::RowImage(const QTreeWidgetItem* item)
{
    return item ? item->data(0, Qt::UserRole).toInt() : -1;
}

int CVelkaroView::SelectedRowKind() const
{
    const QList<QTreeWidgetItem*> selected = selectedItems();
    const QTreeWidgetItem* item = selected.isEmpty() ? nullptr : selected.first();
    if (!item)
        return -1;
    switch (RowImage(item)) {
    case 1:
        return 1;
    case 3:
        return 4;
    case 4:
        return 3;
    case 5:
        return 5;
    default:
        return 2;
    }
}

bool CVelkaroView::SelectRowByText(const QString& text)
{
    if (m_fillActive) {
        m_pendingRow = text;
        return true;
    }
    return SelectRowNow(text);
}

bool CVelkaroView::SelectRowNow(const QString& text)
{
    for (int row = 0; row < topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = topLevelItem(row);
        const int image = RowImage(item);
        if ((image == NodeImage::Column || image == NodeImage::IndexColumn) && item->text(0) == text) {
            setFocus();
            setCurrentItem(item);
            item->setSelected(true);
            scrollToItem(item);
            return true;
        }
    }
    return false;
}

QTreeWidgetItem* CVelkaroView::MakeItem(const ListRow& row) const
{
    auto* item = new QTreeWidgetItem;
    item->setText(0, row.text);
    item->setIcon(0, NodeImageList::Icon(row.image));
    item->setData(0, Qt::UserRole, row.image);
    for (int cell = 0; cell < row.cells.size() && cell + 1 < columnCount(); ++cell) {
        item->setText(cell + 1, row.cells.at(cell));
        if (rightAligned(m_set, cell + 1))
            item->setTextAlignment(cell + 1, Qt::AlignRight | Qt::AlignVCenter);
    }
    return item;
}

void CVelkaroView::Fill(ListFill fill)
{
    const quint64 generation = ++m_generation;
    clear();
    m_pendingRow.clear();
    m_fill = std::move(fill);
    m_nextRow = 0;
    m_fillActive = true;
    m_expectedRows = m_fill.expectedRows;
    if (m_expectedRows >= 0)
        emit FillStarted(m_expectedRows);
    InsertChunk(generation);
}

void CVelkaroView::InsertChunk(quint64 generation)
{
    // A newer fill (or a column switch) replaced this one.
    if (generation != m_generation || !m_fillActive)
        return;
    QList<QTreeWidgetItem*> items;
    bool stopped = false;
    const std::size_t end = std::min(m_fill.rows.size(), m_nextRow + kFillChunk);
    for (; m_nextRow < end; ++m_nextRow) {
        if (m_fill.stop && m_fill.stop()) {
            stopped = true;
            break;
        }
        items.append(MakeItem(m_fill.rows[m_nextRow]));
    }
    addTopLevelItems(items);
    if (stopped || m_nextRow >= m_fill.rows.size()) {
        FinishFill(stopped);
        return;
    }
    QTimer::singleShot(0, this, [this, generation] { InsertChunk(generation); });
}

void CVelkaroView::FinishFill(bool stopped)
{
    m_fillActive = false;
    m_fill = {};
    const QString row = std::exchange(m_pendingRow, QString());
    if (!stopped && !row.isEmpty())
        SelectRowNow(row);
    emit FillFinished();
}

void CVelkaroView::contextMenuEvent(QContextMenuEvent* event)
{
    if (m_menu)
        m_menu->exec(event->globalPos());
    event->accept();
}

} // namespace velkaro

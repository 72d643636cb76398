#pragma once

#include "explorer/hub/ListFill.h"

#include <QList>
#include <QTreeWidget>

class QMenu;

namespace velkaro {

class ProfileStore;

// The list pane: the contents of the tree's selected node in one of four column sets (one per
// tree level), with widths kept in the settings store. Long fills go in chunks so the window
// stays responsive, and end as soon as the fill's stop check says so.
class CVelkaroView final : public QTreeWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CVelkaroView)

public:
    static constexpr int kFillChunk = 250;

    explicit CVelkaroView(ProfileStore& store, QWidget* parent = nullptr);

    void SetColumnSet(int set);
    void SaveColumnWidths(int set);
    int ColumnSet() const { return m_set; }
    // 1 database, 2 object, 3 index, 4 column, 5 index column; negative with no selected row.
    int SelectedRowKind() const;
    // Selects the first column or index column row whose text is text, with the focus. During a
    // fill the selection waits for the fill's end (a newer fill or column switch drops it).
    bool SelectRowByText(const QString& text);
    QString PendingRowSelection() const { return m_pendingRow; }
    void SetContextMenu(QMenu* menu) { m_menu = menu; }

    void Fill(ListFill fill);
    bool FillInProgress() const { return m_fillActive; }
    int ExpectedRowCount() const { return m_expectedRows; }
    static int RowImage(const QTreeWidgetItem* item);
    static QList<int> DefaultColumnWidths(int set, int clientWidth);

signals:
    // A double click or Enter on a row that leads somewhere (not a column row).
    void RowActivated(const QString& text);
    void FillStarted(int expectedRows);
    void FillFinished();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // A double click or Enter on a row that leads somewhere.
    void OpenRow(const QTreeWidgetItem* item);
    void InsertChunk(quint64 generation);
    void FinishFill(bool stopped);
    bool SelectRowNow(const QString& text);
    QTreeWidgetItem* MakeItem(const ListRow& row) const;

    ProfileStore& m_store;
    int m_set = -1;
    QMenu* m_menu = nullptr;
    ListFill m_fill;
    std::size_t m_nextRow = 0;
    quint64 m_generation = 0;
    bool m_fillActive = false;
    int m_expectedRows = -1;
    QString m_pendingRow;
};

} // namespace velkaro

#pragma once

#include "explorer/hub/ExplorerHub.h"
#include "explorer/hub/TreeViewPort.h"

#include <QEventLoop>
#include <QTimer>

namespace velkaro::test {

// The panes as plain data: a selected node, the rows of the last fill, the location list.
// Selecting calls the hub's selection handler as the tree widget does.
class HubTestPort final : public TreeViewPort
{
public:
    explicit HubTestPort(ExplorerHub& hub) : m_hub(hub) { hub.setPort(this); }
    ~HubTestPort() override { m_hub.setPort(nullptr); }

    NodeId selectedNode() const override { return selected; }
    bool selectNode(NodeId node) override
    {
        if (!m_hub.tree().exists(node))
            return false;
        if (node != selected) {
            selected = node;
            ++selectionChanges;
            m_hub.OnSelectionChanged(node);
        }
        return true;
    }
    void treeChangesPending() override { m_hub.tree().takeChanges(1000000); }
    int columnSet() const override { return set; }
    void switchColumnSet(int newSet) override { set = newSet; }
    void fillList(ListFill fill) override
    {
        rows.clear();
        for (ListRow& row : fill.rows) {
            if (fill.stop && fill.stop())
                break;
            rows.push_back(std::move(row));
        }
        ++fills;
    }
    void showLocations(const QStringList& paths) override { locations = paths; }
    void setBusyCursor(bool) override {}
    void pause(int ms) override
    {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
    }
    void showTerminateWait(bool shown) override { waitShown = shown; }
    void showTerminateCountdown(int value) override { countdown.append(value); }
    std::optional<ChosenDatabase> chooseDatabase() override { return std::nullopt; }
    QString chooseDatabaseToRemove(const QStringList&) override { return {}; }

    QStringList rowTexts() const
    {
        QStringList texts;
        for (const ListRow& row : rows)
            texts.append(row.text);
        return texts;
    }
    int rowsWithImage(int image) const
    {
        return static_cast<int>(std::count_if(rows.begin(), rows.end(),
                                              [image](const ListRow& row) { return row.image == image; }));
    }

    NodeId selected = 0;
    int selectionChanges = 0;
    int set = 0;
    std::vector<ListRow> rows;
    int fills = 0;
    QStringList locations;
    bool waitShown = false;
    QList<int> countdown;

private:
    ExplorerHub& m_hub;
};

} // namespace velkaro::test

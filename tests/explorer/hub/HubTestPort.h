#pragma once

#include "explorer/hub/ExplorerHub.h"
#include "explorer/hub/TreeViewPort.h"

#include <QEventLoop>
#include <QTimer>
#include <deque>

namespace velkaro::test {

// The panes as plain data: a selected node, the rows of the last fill, the location list.
// Selecting calls the hub's selection handler as the tree widget does.
class HubTestPort final : public TreeViewPort
{
public:
    explicit HubTestPort(ExplorerHub& hub) : m_hub(hub) { hub.SetPort(this); }
    ~HubTestPort() override { m_hub.SetPort(nullptr); }

    NodeId SelectedNode() const override { return selected; }
    bool SelectNode(NodeId node) override
    {
        if (!m_hub.Tree().Exists(node))
            return false;
        if (node != selected) {
            selected = node;
            ++selectionChanges;
            m_hub.OnSelectionChanged(node);
        }
        return true;
    }
    void TreeChangesPending() override { m_hub.Tree().TakeChanges(1000000); }
    int ColumnSet() const override { return set; }
    void SwitchColumnSet(int newSet) override { set = newSet; }
    void FillList(ListFill fill) override
    {
        rows.clear();
        for (ListRow& row : fill.rows) {
            if (fill.stop && fill.stop())
                break;
            rows.push_back(std::move(row));
        }
        ++fills;
    }
    void SelectListRow(const QString& text) override { selectedRow = text; }
    void FocusTree() override { ++treeFocus; }
    void ShowLocations(const QStringList& paths) override { locations = paths; }
    void SetBusyCursor(bool) override {}
    void Pause(int ms) override
    {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
    }
    void ShowTerminateWait(bool shown) override { waitShown = shown; }
    void ShowTerminateCountdown(int value) override { countdown.append(value); }
    std::optional<ChosenDatabase> ChooseDatabase() override { return std::nullopt; }
    QString ChooseDatabaseToRemove(const QStringList&) override { return {}; }
    // Answers the Find dialog from findAnswers (a cancel when empty), recording what it showed.
    std::optional<FindRequest> AskFind(const FindDialogInput& input) override
    {
        findInputs.append(input);
        if (findAnswers.empty())
            return std::nullopt;
        std::optional<FindRequest> answer = findAnswers.front();
        findAnswers.pop_front();
        return answer;
    }

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
    QString selectedRow;
    int treeFocus = 0;
    std::deque<std::optional<FindRequest>> findAnswers;
    QList<FindDialogInput> findInputs;

private:
    ExplorerHub& m_hub;
};

} // namespace velkaro::test

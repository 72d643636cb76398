#pragma once

#include "explorer/properties/CPropPage.h"
#include "explorer/propertydata/StatisticsQuery.h"

class QLabel;

namespace velkaro {

// An index's "General" page: its name and uniqueness, and its statistics, fetched by a thread
// shortly after the page opens.
class CPropInd final : public CPropPage
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CPropInd)

public:
    static constexpr int kStatisticsDelayMs = 300;
    static const QString kTableNotFoundMessage;
    static const QString kIndexNotFoundMessage;

    explicit CPropInd(PropertySheetContext& context, QWidget* parent = nullptr);

protected:
    void InitPage() override;

private:
    void StartStatistics(const ObjectName& table);
    void ShowStatistics(const StatisticsQuery::Texts& texts);

    QLabel* m_cardinality = nullptr;
    QLabel* m_pages = nullptr;
    QLabel* m_filter = nullptr;
};

} // namespace velkaro

#pragma once

#include "explorer/properties/CPropObject.h"
#include "explorer/propertydata/StatisticsQuery.h"

class QCheckBox;
class QLabel;

namespace velkaro {

// A table's "General" page: attributes, contents with the table statistics (fetched by a thread
// while "Calculate statistics next time" is on) and remarks.
class CPropTab final : public CPropObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CPropTab)

public:
    explicit CPropTab(PropertySheetContext& context, QWidget* parent = nullptr);

protected:
    void InitPage() override;

private:
    void StartStatistics(const ObjectName& table);
    void ShowStatistics(const StatisticsQuery::Texts& texts);
    void OnCalculateToggled(bool on);

    QLabel* m_rows = nullptr;
    QLabel* m_pages = nullptr;
    QCheckBox* m_calculate = nullptr;
};

} // namespace velkaro

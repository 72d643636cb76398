#pragma once

#include "explorer/properties/CPropPage.h"

class QLabel;
class QTimer;

namespace velkaro {

// The explorer's "General" page: the databases, since when the explorer runs, how many are busy;
// the counts follow every second.
class CPropDBSE final : public CPropPage
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CPropDBSE)

public:
    static constexpr int kRecountMs = 1000;

    explicit CPropDBSE(PropertySheetContext& context, QWidget* parent = nullptr);

protected:
    void InitPage() override;

private:
    void ShowCounts();

    QLabel* m_databases = nullptr;
    QLabel* m_upSince = nullptr;
    QLabel* m_inUse = nullptr;
    QTimer* m_timer = nullptr;
};

} // namespace velkaro

#pragma once

#include "explorer/properties/CPropPage.h"
#include "explorer/propertydata/DatabaseCounters.h"

#include <array>

class QLabel;
class QTimer;

namespace velkaro {

// A database's "General" page: its identification, the objects shown (counted by a thread into
// the explorer's shared counters, shown every 100 ms until the count is done) and the last refresh.
class CPropDB final : public CPropPage
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CPropDB)

public:
    static constexpr int kRefreshMs = 100;

    explicit CPropDB(PropertySheetContext& context, QWidget* parent = nullptr);

protected:
    void InitPage() override;

private:
    void StartCounting();
    void ShowCounters();

    std::array<QLabel*, DatabaseCounters::Count> m_counters{};
    QTimer* m_timer = nullptr;
};

} // namespace velkaro

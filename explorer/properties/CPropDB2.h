#pragma once

#include "explorer/properties/CPropPage.h"

namespace velkaro {

// A database's "ODBC" page: the data source and driver as the session's connection reported them.
class CPropDB2 final : public CPropPage
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CPropDB2)

public:
    explicit CPropDB2(PropertySheetContext& context, QWidget* parent = nullptr);

protected:
    void InitPage() override;
};

} // namespace velkaro

#pragma once

#include "explorer/properties/CPropPage.h"

namespace velkaro {

// A column's "General" page: the column of its table as the catalog listed it.
class CPropCol final : public CPropPage
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CPropCol)

public:
    static const QString kNotFoundMessage; // "Could not load Column Properties."

    explicit CPropCol(PropertySheetContext& context, QWidget* parent = nullptr);

protected:
    void InitPage() override;
};

} // namespace velkaro

#pragma once

#include "explorer/properties/CPropObject.h"

namespace velkaro {

// The "General" page of a view.
class CPropView final : public CPropObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CPropView)

public:
    explicit CPropView(PropertySheetContext& context, QWidget* parent = nullptr)
        : CPropObject(context, {true, false}, parent)
    {}
};

} // namespace velkaro

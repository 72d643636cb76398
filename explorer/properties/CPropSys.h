#pragma once

#include "explorer/properties/CPropObject.h"

namespace velkaro {

// The "General" page of a system table.
class CPropSys final : public CPropObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CPropSys)

public:
    explicit CPropSys(PropertySheetContext& context, QWidget* parent = nullptr)
        : CPropObject(context, {true, true}, parent)
    {}
};

} // namespace velkaro

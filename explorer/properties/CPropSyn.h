#pragma once

#include "explorer/properties/CPropObject.h"

namespace velkaro {

// The "General" page of a synonym.
class CPropSyn final : public CPropObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CPropSyn)

public:
    explicit CPropSyn(PropertySheetContext& context, QWidget* parent = nullptr)
        : CPropObject(context, {true, false}, parent)
    {}
};

} // namespace velkaro

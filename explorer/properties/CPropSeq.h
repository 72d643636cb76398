#pragma once

#include "explorer/properties/CPropObject.h"

namespace velkaro {

// The "General" page of a sequence.
class CPropSeq final : public CPropObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CPropSeq)

public:
    explicit CPropSeq(PropertySheetContext& context, QWidget* parent = nullptr)
        : CPropObject(context, {false, false}, parent)
    {}
};

} // namespace velkaro

#pragma once

#include "explorer/properties/CPropKeys.h"

namespace velkaro {

// A table's page of the keys by which it refers to other tables.
class CPropTab3 final : public CPropKeys
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CPropTab3)

public:
    explicit CPropTab3(PropertySheetContext& context, QWidget* parent = nullptr)
        : CPropKeys(context, KeyListQuery::Kind::ReferencesToOthers,
                    QStringLiteral("Foreign Keys (References to other tables)"),
                    QStringLiteral("Not all ODBC drivers and/or databases support the definition of foreign "
                                   "keys.\n\nConsult your ODBC driver's manuals for more information."),
                    parent)
    {}
};

} // namespace velkaro

#pragma once

#include "explorer/properties/CPropKeys.h"

namespace velkaro {

// A table's page of the primary key columns.
class CPropTab2 final : public CPropKeys
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CPropTab2)

public:
    explicit CPropTab2(PropertySheetContext& context, QWidget* parent = nullptr)
        : CPropKeys(context, KeyListQuery::Kind::PrimaryKeys, QStringLiteral("Primary Keys"),
                    QStringLiteral("Not all ODBC drivers and/or databases support the definition of primary "
                                   "keys.\n\nConsult your ODBC driver's manuals for more information."),
                    parent)
    {}
};

} // namespace velkaro

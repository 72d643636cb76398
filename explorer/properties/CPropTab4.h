#pragma once

#include "explorer/properties/CPropKeys.h"

namespace velkaro {

// A table's page of the keys by which other tables refer to it.
class CPropTab4 final : public CPropKeys
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CPropTab4)

public:
    explicit CPropTab4(PropertySheetContext& context, QWidget* parent = nullptr)
        : CPropKeys(context, KeyListQuery::Kind::ReferencesFromOthers,
                    QStringLiteral("Foreing Keys (References from other tables)"),
                    QStringLiteral("Not all ODBC drivers and/or databases support the definition of foreign "
                                   "keys.\n\nConsult your ODBC driver's manuals for more information."),
                    parent)
    {}
};

} // namespace velkaro

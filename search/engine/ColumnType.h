#pragma once

#include <QString>

namespace velkaro {

// What the column phase makes of a column's SQL type: the standard name it reports, the width
// of the column in the data report, and whether the type is read as text.
struct ColumnType
{
    QString standardName;
    int displayWidth = 0;
    bool textual = false;

    // dataType is the DATA_TYPE code; length and precision the catalog's LENGTH and PRECISION.
    static ColumnType For(int dataType, int length, int precision);
};

// "NOT NULL ", "    NULL " or empty, by the catalog's NULLABLE.
QString NullabilityText(int nullable);

} // namespace velkaro

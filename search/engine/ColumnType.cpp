#include "search/engine/ColumnType.h"

#include <algorithm>
#include <limits>
#include <sqlext.h>

namespace velkaro {

namespace {

enum class Width
{
    Length,       // LENGTH itself
    AtLeast,      // max(LENGTH, minimum)
    Numeric,      // max(LENGTH, PRECISION + 2)
    DoubleLength, // two hexadecimal digits per byte
};

struct TypeRule
{
    int code;
    const char* name;
    Width width;
    int minimum;
    bool textual;
};

// ODBC 2 codes, the ODBC 3 date and time codes, and the wide character codes some drivers
// report for their text types.
constexpr TypeRule kRules[] = {
    {SQL_CHAR, "CHAR", Width::Length, 0, true},
    {SQL_NUMERIC, "NUMBER", Width::Numeric, 0, true},
    {SQL_DECIMAL, "DECIMAL", Width::Numeric, 0, true},
    {SQL_INTEGER, "INTEGER", Width::AtLeast, 11, true},
    {SQL_SMALLINT, "SMALLINT", Width::AtLeast, 6, true},
    {SQL_FLOAT, "FLOAT", Width::AtLeast, 22, true},
    {SQL_REAL, "REAL", Width::AtLeast, 13, true},
    {SQL_DOUBLE, "DOUBLE", Width::AtLeast, 22, true},
    {SQL_DATE, "DATE", Width::AtLeast, 10, true},
    {SQL_TYPE_DATE, "DATE", Width::AtLeast, 10, true},
    {SQL_TIME, "TIME", Width::AtLeast, 12, true},
    {SQL_TYPE_TIME, "TIME", Width::AtLeast, 12, true},
    {SQL_TIMESTAMP, "TIMESTAMP", Width::AtLeast, 22, true},
    {SQL_TYPE_TIMESTAMP, "TIMESTAMP", Width::AtLeast, 22, true},
    {SQL_VARCHAR, "VARCHAR", Width::Length, 0, true},
    {SQL_WCHAR, "CHAR", Width::Length, 0, true},
    {SQL_WVARCHAR, "VARCHAR", Width::Length, 0, true},
    {SQL_LONGVARCHAR, "LONG VARCHAR", Width::Length, 0, false},
    {SQL_WLONGVARCHAR, "LONG VARCHAR", Width::Length, 0, false},
    {SQL_BINARY, "BINARY", Width::DoubleLength, 0, false},
    {SQL_VARBINARY, "VARBINARY", Width::DoubleLength, 0, false},
    {SQL_LONGVARBINARY, "LONG VARBINARY", Width::DoubleLength, 0, false},
    {SQL_BIGINT, "BIGINT", Width::AtLeast, 20, true},
    {SQL_TINYINT, "TINYINT", Width::AtLeast, 4, true},
    {SQL_BIT, "BIT", Width::AtLeast, 1, true},
};

int widthOf(const TypeRule& rule, int length, int precision)
{
    // The comparisons take LENGTH's low 16 bits, so a "no limit" length of a long type stays small.
    const int low = length & 0xffff;
    switch (rule.width) {
    case Width::Length:
        return std::max(length, 0);
    case Width::AtLeast:
        return std::max(low, rule.minimum);
    case Width::Numeric:
        return std::max(low, precision + 2);
    case Width::DoubleLength:
        return static_cast<int>(
            std::min<qint64>(2 * qint64(std::max(length, 0)), std::numeric_limits<int>::max()));
    }
    return 0;
}

} // namespace

ColumnType ColumnType::For(int dataType, int length, int precision)
{
    const auto code = static_cast<qint16>(dataType & 0xffff);
    for (const TypeRule& rule : kRules) {
        if (rule.code == code)
            return {QString::fromLatin1(rule.name), widthOf(rule, length, precision), rule.textual};
    }
    return {QStringLiteral("UNKNOWN"), std::max(length, 0), false};
}

QString NullabilityText(int nullable)
{
    switch (static_cast<qint16>(nullable & 0xffff)) {
    case SQL_NO_NULLS:
        return QStringLiteral("NOT NULL ");
    case SQL_NULLABLE:
        return QStringLiteral("    NULL ");
    default:
        return QString();
    }
}

} // namespace velkaro

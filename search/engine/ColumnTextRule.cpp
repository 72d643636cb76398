#include "search/engine/ColumnTextRule.h"

#include "catalog/SearchRecords.h"
#include "search/engine/IdentifierQuoting.h"

#include <QRegularExpression>
#include <QStringList>

namespace velkaro {

namespace {

const QString kDigits = QStringLiteral("0123456789");
const QString kIntegerAlphabet = kDigits + QStringLiteral("-");
// Date and time values as the drivers write them, infinities and BC dates of PostgreSQL included.
const QString kDateTimeAlphabet = kDigits + QStringLiteral("-:. +BC");

ColumnTextRule::Kind kindOf(const QStringList& types, const QString& type)
{
    return types.contains(type) ? ColumnTextRule::Kind::Text : ColumnTextRule::Kind::Unknown;
}

// The catalog's type name without its length and attributes: "int unsigned zerofill" is "int".
QString baseType(const QString& typeName)
{
    QString type = typeName.trimmed().toLower();
    const qsizetype end = type.indexOf(QRegularExpression(QStringLiteral("[ (]")));
    return end < 0 ? type : type.left(end);
}

// SQLite's rule for a declared type: INT first, then CHAR, CLOB or TEXT.
bool hasTextAffinity(const QString& declaredType)
{
    const QString type = declaredType.toUpper();
    return !type.contains(QLatin1String("INT")) &&
           (type.contains(QLatin1String("CHAR")) || type.contains(QLatin1String("CLOB")) ||
            type.contains(QLatin1String("TEXT")));
}

} // namespace

FilterDialect ColumnTextRule::DialectFor(const QString& dbmsName)
{
    if (dbmsName.compare(QLatin1String("PostgreSQL"), Qt::CaseInsensitive) == 0)
        return FilterDialect::PostgreSql;
    if (dbmsName.contains(QLatin1String("MariaDB"), Qt::CaseInsensitive) ||
        dbmsName.compare(QLatin1String("MySQL"), Qt::CaseInsensitive) == 0)
        return FilterDialect::MariaDb;
    if (dbmsName.compare(QLatin1String("SQLite"), Qt::CaseInsensitive) == 0)
        return FilterDialect::Sqlite;
    return FilterDialect::None;
}

ColumnTextRule ColumnTextRule::For(FilterDialect dialect, const SearchColumnRecord& column,
                                   const IdentifierQuoting& quoting)
{
    const QString name = quoting.Quoted(column.name);
    switch (dialect) {
    case FilterDialect::PostgreSql:
        return PostgreSqlRule(baseType(column.dbmsType), name);
    case FilterDialect::MariaDb:
        return MariaDbRule(baseType(column.dbmsType), name);
    case FilterDialect::Sqlite:
        return SqliteRule(column.dbmsType, name);
    case FilterDialect::None:
        break;
    }
    ColumnTextRule rule;
    rule.m_why = QStringLiteral("the server's SQL is not known");
    return rule;
}

// psqlODBC hands over the server's output text, except for the types it rewrites: booleans as
// 1/0, bytea as bare hex, UUIDs in capitals, time zones and infinite dates changed or dropped.
ColumnTextRule ColumnTextRule::PostgreSqlRule(const QString& type, const QString& name)
{
    ColumnTextRule rule;
    const QString asText = name + QStringLiteral("::text");
    static const QStringList text{"text", "varchar", "name", "char", "json", "jsonb", "xml", "citext"};
    static const QStringList integer{"int2", "int4", "int8", "oid", "smallint", "integer", "bigint"};
    static const QStringList number{"numeric", "float4", "float8", "decimal", "real"};
    static const QStringList dateTime{"date", "time", "timetz", "timestamp", "timestamptz"};
    rule.m_kind = kindOf(text, type);
    rule.m_expression = asText;
    if (type == QLatin1String("bpchar")) {
        // The driver gives the blanks that pad the value; the cast to text drops them.
        rule.m_kind = Kind::PaddedText;
    } else if (integer.contains(type)) {
        rule.m_kind = Kind::Alphabet;
        rule.m_alphabet = kIntegerAlphabet;
    } else if (number.contains(type)) {
        rule.m_kind = Kind::Alphabet;
        rule.m_alphabet = kDigits + QStringLiteral("+-.eEInfinityNaN");
    } else if (type == QLatin1String("bytea")) {
        rule.m_kind = Kind::Alphabet;
        rule.m_alphabet = kDigits + QStringLiteral("abcdef");
        rule.m_expression = QStringLiteral("encode(") + name + QStringLiteral(", 'hex')");
    } else if (type == QLatin1String("bool")) {
        rule.m_kind = Kind::Alphabet;
        rule.m_alphabet = QStringLiteral("01-");
        rule.m_expression.clear();
        rule.m_why = QStringLiteral("the driver writes a boolean as 1 or 0, not as the server does");
    } else if (dateTime.contains(type)) {
        rule.m_kind = Kind::Alphabet;
        rule.m_alphabet = kDateTimeAlphabet;
        rule.m_expression.clear();
        rule.m_why = QStringLiteral("the driver rewrites time zones and infinite dates");
    } else if (type == QLatin1String("uuid")) {
        rule.m_kind = Kind::Alphabet;
        rule.m_alphabet = kDigits + QStringLiteral("ABCDEF-");
        rule.m_expression.clear();
        rule.m_why = QStringLiteral("the driver writes a UUID in capitals");
    }
    if (rule.m_kind == Kind::Unknown)
        rule.m_why = QStringLiteral("the driver's text of this type is not known to equal the server's");
    return rule;
}

// MariaDB Connector/ODBC hands over the text the server sends; binary values come as raw bytes,
// which are not the text the search decodes from them.
ColumnTextRule ColumnTextRule::MariaDbRule(const QString& type, const QString& name)
{
    ColumnTextRule rule;
    static const QStringList text{"char",     "varchar", "tinytext", "text", "mediumtext",
                                  "longtext", "enum",    "set",      "json"};
    static const QStringList integer{"tinyint", "smallint", "mediumint", "int", "integer", "bigint", "year"};
    static const QStringList floating{"float", "double", "real"};
    static const QStringList dateTime{"date", "datetime", "timestamp", "time"};
    rule.m_kind = kindOf(text, type);
    // Compared as code points, whatever the column's character set and collation.
    rule.m_expression =
        QStringLiteral("convert(") + name + QStringLiteral(" using utf8mb4) collate utf8mb4_bin");
    if (integer.contains(type)) {
        rule.m_kind = Kind::Alphabet;
        rule.m_alphabet = kIntegerAlphabet;
    } else if (type == QLatin1String("decimal") || type == QLatin1String("numeric")) {
        rule.m_kind = Kind::Alphabet;
        rule.m_alphabet = kIntegerAlphabet + QStringLiteral(".");
    } else if (floating.contains(type)) {
        rule.m_kind = Kind::Alphabet;
        rule.m_alphabet = kDigits + QStringLiteral("+-.e");
        rule.m_expression.clear();
        rule.m_why =
            QStringLiteral("a floating-point value converted to text on the server may have other digits");
    } else if (dateTime.contains(type)) {
        rule.m_kind = Kind::Alphabet;
        rule.m_alphabet = kDateTimeAlphabet;
        rule.m_expression.clear();
        rule.m_why =
            QStringLiteral("the driver's text of a date or time is not proven equal to the server's");
    }
    if (rule.m_kind == Kind::Unknown)
        rule.m_why = QStringLiteral("binary and other values come as bytes that are not the server's text");
    return rule;
}

// SQLite keeps any value in any column, whatever its declared type; the driver writes a blob as
// X'HEX' and every other value as SQLite's own text of it, which is what its string functions and
// operators take of the value. A blob's own bytes may match or not: its hex form is tested too.
ColumnTextRule ColumnTextRule::SqliteRule(const QString& declaredType, const QString& name)
{
    ColumnTextRule rule;
    rule.m_kind = Kind::Text;
    rule.m_expression = name;
    rule.m_otherExpression = QStringLiteral("case typeof(") + name +
                             QStringLiteral(") when 'blob' then 'X''' || hex(") + name +
                             QStringLiteral(") || '''' end");
    rule.m_otherAlphabet = kDigits + QStringLiteral("ABCDEFX'");
    // An integer, or a real as SQLite writes it ("1.0e+20", "-Inf"). Turning a number into text
    // is most of the cost of testing it, where a column holds numbers: without affinity ("+"), every
    // text sorts above every number, and a comparison costs less than typeof(). A column of text
    // affinity holds no numbers, and the comparison would only cost.
    rule.m_numberAlphabet = kDigits + QStringLiteral("+-.eInf");
    if (!hasTextAffinity(declaredType))
        rule.m_textOnly = QStringLiteral("+") + name + QStringLiteral(" > 9e999 and ");
    return rule;
}

} // namespace velkaro

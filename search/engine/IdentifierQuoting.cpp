#include "search/engine/IdentifierQuoting.h"

#include <QSet>
#include <sqlext.h>
#include <utility>

namespace velkaro {

namespace {

QString textInfo(SQLHDBC hdbc, SQLUSMALLINT item)
{
    char value[64] = {};
    SQLSMALLINT length = 0;
    if (!SQL_SUCCEEDED(SQLGetInfo(hdbc, item, value, sizeof value, &length)))
        return QString();
    return QString::fromUtf8(value);
}

template <class Number> Number numberInfo(SQLHDBC hdbc, SQLUSMALLINT item, Number fallback)
{
    Number value = 0;
    SQLSMALLINT length = 0;
    if (!SQL_SUCCEEDED(SQLGetInfo(hdbc, item, &value, sizeof value, &length)))
        return fallback;
    return value;
}

bool isPlainName(const QString& name)
{
    if (name.isEmpty())
        return false;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name.at(i).unicode();
        const bool letter = (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_';
        const bool digit = c >= u'0' && c <= u'9';
        if (!letter && !(digit && i > 0))
            return false;
    }
    return true;
}

// The SQL-92 reserved words, and the few more that the common DBMSs reserve.
const QSet<QString>& reservedWords()
{
    static const QSet<QString> words = [] {
        const char* const list[] = {
            "ABSOLUTE", "ACTION", "ADD", "ALL", "ALLOCATE", "ALTER", "AND", "ANY", "ARE", "AS", "ASC",
            "ASSERTION", "AT", "AUTHORIZATION", "AVG", "BEGIN", "BETWEEN", "BIT", "BIT_LENGTH", "BOTH", "BY",
            "CASCADE", "CASCADED", "CASE", "CAST", "CATALOG", "CHAR", "CHARACTER", "CHAR_LENGTH",
            "CHARACTER_LENGTH", "CHECK", "CLOSE", "COALESCE", "COLLATE", "COLLATION", "COLUMN", "COMMIT",
            "CONNECT", "CONNECTION", "CONSTRAINT", "CONSTRAINTS", "CONTINUE", "CONVERT", "CORRESPONDING",
            "COUNT", "CREATE", "CROSS", "CURRENT", "CURRENT_DATE", "CURRENT_TIME", "CURRENT_TIMESTAMP",
            "CURRENT_USER", "CURSOR", "DATE", "DAY", "DEALLOCATE", "DEC", "DECIMAL", "DECLARE", "DEFAULT",
            "DEFERRABLE", "DEFERRED", "DELETE", "DESC", "DESCRIBE", "DESCRIPTOR", "DIAGNOSTICS", "DISCONNECT",
            "DISTINCT", "DOMAIN", "DOUBLE", "DROP", "ELSE", "END", "END-EXEC", "ESCAPE", "EXCEPT",
            "EXCEPTION", "EXEC", "EXECUTE", "EXISTS", "EXTERNAL", "EXTRACT", "FALSE", "FETCH", "FIRST",
            "FLOAT", "FOR", "FOREIGN", "FOUND", "FROM", "FULL", "GET", "GLOBAL", "GO", "GOTO", "GRANT",
            "GROUP", "HAVING", "HOUR", "IDENTITY", "IMMEDIATE", "IN", "INDICATOR", "INITIALLY", "INNER",
            "INPUT", "INSENSITIVE", "INSERT", "INT", "INTEGER", "INTERSECT", "INTERVAL", "INTO", "IS",
            "ISOLATION", "JOIN", "KEY", "LANGUAGE", "LAST", "LEADING", "LEFT", "LEVEL", "LIKE", "LOCAL",
            "LOWER", "MATCH", "MAX", "MIN", "MINUTE", "MODULE", "MONTH", "NAMES", "NATIONAL", "NATURAL",
            "NCHAR", "NEXT", "NO", "NOT", "NULL", "NULLIF", "NUMERIC", "OCTET_LENGTH", "OF", "ON", "ONLY",
            "OPEN", "OPTION", "OR", "ORDER", "OUTER", "OUTPUT", "OVERLAPS", "PAD", "PARTIAL", "POSITION",
            "PRECISION", "PREPARE", "PRESERVE", "PRIMARY", "PRIOR", "PRIVILEGES", "PROCEDURE", "PUBLIC",
            "READ", "REAL", "REFERENCES", "RELATIVE", "RESTRICT", "REVOKE", "RIGHT", "ROLLBACK", "ROWS",
            "SCHEMA", "SCROLL", "SECOND", "SECTION", "SELECT", "SESSION", "SESSION_USER", "SET", "SIZE",
            "SMALLINT", "SOME", "SPACE", "SQL", "SQLCODE", "SQLERROR", "SQLSTATE", "SUBSTRING", "SUM",
            "SYSTEM_USER", "TABLE", "TEMPORARY", "THEN", "TIME", "TIMESTAMP", "TIMEZONE_HOUR",
            "TIMEZONE_MINUTE", "TO", "TRAILING", "TRANSACTION", "TRANSLATE", "TRANSLATION", "TRIM", "TRUE",
            "UNION", "UNIQUE", "UNKNOWN", "UPDATE", "UPPER", "USAGE", "USER", "USING", "VALUE", "VALUES",
            "VARCHAR", "VARYING", "VIEW", "WHEN", "WHENEVER", "WHERE", "WITH", "WORK", "WRITE", "YEAR",
            "ZONE",
            // Beyond SQL-92, reserved by at least one of the DBMSs in common use.
            "ANALYSE", "ANALYZE", "ARRAY", "DATABASE", "DIV", "INDEX", "KEYS", "LIMIT", "MOD", "OFFSET",
            "RANGE", "RETURNING", "ROW", "ROWNUM", "TOP", "WINDOW"};
        QSet<QString> set;
        for (const char* word : list)
            set.insert(QString::fromLatin1(word));
        return set;
    }();
    return words;
}

} // namespace

IdentifierQuoting::IdentifierQuoting(Traits traits) : m_traits(std::move(traits))
{}

IdentifierQuoting IdentifierQuoting::FromConnection(SQLHDBC hdbc)
{
    Traits traits;
    const QString quote = textInfo(hdbc, SQL_IDENTIFIER_QUOTE_CHAR).trimmed();
    traits.quote = quote.isEmpty() ? QStringLiteral("`") : quote;
    switch (numberInfo<SQLUSMALLINT>(hdbc, SQL_IDENTIFIER_CASE, SQL_IC_SENSITIVE)) {
    case SQL_IC_LOWER:
        traits.folding = Folding::Lower;
        break;
    case SQL_IC_UPPER:
        traits.folding = Folding::Upper;
        break;
    default:
        traits.folding = Folding::None;
    }
    const auto qualifierUsage = numberInfo<SQLUINTEGER>(hdbc, SQL_QUALIFIER_USAGE, 0);
    const auto qualifierLocation = numberInfo<SQLUSMALLINT>(hdbc, SQL_QUALIFIER_LOCATION, SQL_QL_START);
    traits.qualifierInStatements =
        (qualifierUsage & SQL_QU_DML_STATEMENTS) != 0 && qualifierLocation == SQL_QL_START;
    const QString separator = textInfo(hdbc, SQL_QUALIFIER_NAME_SEPARATOR);
    if (!separator.isEmpty())
        traits.qualifierSeparator = separator;
    traits.ownerInStatements =
        (numberInfo<SQLUINTEGER>(hdbc, SQL_OWNER_USAGE, SQL_OU_DML_STATEMENTS) & SQL_OU_DML_STATEMENTS) != 0;
    return IdentifierQuoting(std::move(traits));
}

QString IdentifierQuoting::quoted(const QString& name) const
{
    QString inner = name;
    inner.replace(m_traits.quote, m_traits.quote + m_traits.quote);
    return m_traits.quote + inner + m_traits.quote;
}

bool IdentifierQuoting::needsQuotes(const QString& name) const
{
    if (!isPlainName(name) || IsReservedWord(name))
        return true;
    switch (m_traits.folding) {
    case Folding::Lower:
        return name != name.toLower();
    case Folding::Upper:
        return name != name.toUpper();
    case Folding::None:
        break;
    }
    return false;
}

bool IdentifierQuoting::IsReservedWord(const QString& name)
{
    return reservedWords().contains(name.toUpper());
}

} // namespace velkaro

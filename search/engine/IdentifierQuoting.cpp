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

// The driver's own reserved words (SQL_KEYWORDS: those beyond the ODBC list), in upper case.
QSet<QString> driverKeywords(SQLHDBC hdbc)
{
    QByteArray list(4096, '\0');
    SQLSMALLINT length = 0;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!SQL_SUCCEEDED(SQLGetInfo(hdbc, SQL_KEYWORDS, list.data(), SQLSMALLINT(list.size()), &length)))
            return {};
        if (length < list.size())
            break;
        list = QByteArray(qMin(int(length) + 1, 32767), '\0'); // cut: ask again with room for all
    }
    QSet<QString> words;
    for (const QString& word :
         QString::fromUtf8(list.constData()).split(QLatin1Char(','), Qt::SkipEmptyParts))
        words.insert(word.trimmed().toUpper());
    return words;
}

// Letters, digits and "_" only, in any order: nothing in such a name can end it or start
// another token.
bool isWordOnly(const QString& name)
{
    if (name.isEmpty())
        return false;
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        if (!((u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9') || u == u'_'))
            return false;
    }
    return true;
}

// A word that does not start with a digit.
bool isPlainName(const QString& name)
{
    return isWordOnly(name) && !name.at(0).isDigit();
}

// The ODBC (SQL-92) reserved words, which SQL_KEYWORDS leaves out, and the few more that the
// common DBMSs reserve where their drivers report none (psqlODBC's SQL_KEYWORDS is empty).
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
            // Beyond SQL-92: reserved by PostgreSQL, whose driver does not name them.
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
    traits.keywords = driverKeywords(hdbc);
    return IdentifierQuoting(std::move(traits));
}

QString IdentifierQuoting::Quoted(const QString& name) const
{
    QString inner = name;
    inner.replace(m_traits.quote, m_traits.quote + m_traits.quote);
    return m_traits.quote + inner + m_traits.quote;
}

bool IdentifierQuoting::NeedsQuotes(const QString& name) const
{
    if (!isPlainName(name) || IsReservedWord(name) || m_traits.keywords.contains(name.toUpper()))
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

bool IdentifierQuoting::IsWordOnly(const QString& name)
{
    return isWordOnly(name);
}

} // namespace velkaro

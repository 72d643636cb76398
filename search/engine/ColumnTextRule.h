#pragma once

#include <QString>

namespace velkaro {

class IdentifierQuoting;
struct SearchColumnRecord;

// The SQL of the servers whose rows a data query can ask to be filtered, by SQL_DBMS_NAME.
enum class FilterDialect
{
    None, // any other server: its objects are read whole
    PostgreSql,
    MariaDb,
    Sqlite
};

// What the server can be asked about one column's values so that the answer agrees with the
// text the driver hands the search: an expression whose text is the driver's text, or the
// characters that text can hold, or nothing known.
class ColumnTextRule final
{
public:
    enum class Kind
    {
        Text,       // expression gives the driver's text
        PaddedText, // expression gives the driver's text without its trailing blanks
        Alphabet,   // the driver's text holds only alphabet's characters; expression, when not
                    // empty, gives that text
        Unknown     // nothing proven: a term may appear in any value
    };

    static FilterDialect DialectFor(const QString& dbmsName);
    static ColumnTextRule For(FilterDialect dialect, const SearchColumnRecord& column,
                              const IdentifierQuoting& quoting);

    Kind GetKind() const { return m_kind; }
    const QString& Expression() const { return m_expression; }
    const QString& Alphabet() const { return m_alphabet; }
    // A second text some values of the column take, with its own expression (SQLite's blobs).
    const QString& OtherExpression() const { return m_otherExpression; }
    const QString& OtherAlphabet() const { return m_otherAlphabet; }
    // Where a column may hold numbers as well as text (SQLite), what a number's text holds, and
    // the test that leaves numbers out when a term cannot be in one.
    const QString& NumberAlphabet() const { return m_numberAlphabet; }
    const QString& TextOnly() const { return m_textOnly; }
    // Why a term that may appear in the column cannot be tested by the server.
    const QString& Why() const { return m_why; }

private:
    static ColumnTextRule PostgreSqlRule(const QString& type, const QString& name);
    static ColumnTextRule MariaDbRule(const QString& type, const QString& name);
    static ColumnTextRule SqliteRule(const QString& declaredType, const QString& name);

    Kind m_kind = Kind::Unknown;
    QString m_expression;
    QString m_alphabet;
    QString m_otherExpression;
    QString m_otherAlphabet;
    QString m_numberAlphabet;
    QString m_textOnly;
    QString m_why;
};

} // namespace velkaro

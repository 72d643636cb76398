#include "search/engine/ServerFilter.h"

#include "catalog/SearchRecords.h"
#include "search/engine/SearchTerms.h"
#include "search/engine/UpperPreimage.h"

#include <algorithm>
#include <utility>

namespace velkaro {

namespace {

bool isExact(const QList<QList<char32_t>>& classes)
{
    return std::all_of(classes.begin(), classes.end(),
                       [](const QList<char32_t>& one) { return one.size() == 1; });
}

// Each character an ASCII letter in either case, or one ASCII character that has no case: what
// a LIKE that folds ASCII letters alone compares as the matcher does.
bool isAsciiCaseFold(const QList<QList<char32_t>>& classes)
{
    return std::all_of(classes.begin(), classes.end(), [](const QList<char32_t>& one) {
        if (one.size() == 1)
            return one.front() < 0x80 && !QChar::isLetter(one.front());
        return one.size() == 2 && one.at(0) >= 'A' && one.at(0) <= 'Z' && one.at(1) == one.at(0) + 32;
    });
}

// The LIKE pattern of the term, with the backslash as escape.
QByteArray likePattern(const QList<QList<char32_t>>& classes)
{
    QByteArray pattern = "%";
    for (const QList<char32_t>& one : classes) {
        const char c = char(one.front());
        if (c == '%' || c == '_' || c == '\\')
            pattern += '\\';
        pattern += c;
    }
    return pattern + '%';
}

QString textOf(const QList<QList<char32_t>>& classes)
{
    QString text;
    for (const QList<char32_t>& one : classes)
        text += QString::fromUcs4(&one.front(), 1);
    return text;
}

// The longest stretch of characters that only themselves stand for.
QString longestCaselessRun(const QList<QList<char32_t>>& classes)
{
    QString longest;
    QString run;
    for (const QList<char32_t>& one : classes) {
        if (one.size() == 1) {
            run += QString::fromUcs4(&one.front(), 1);
            continue;
        }
        if (run.size() > longest.size())
            longest = run;
        run.clear();
    }
    return run.size() > longest.size() ? run : longest;
}

bool couldAppear(const QList<QList<char32_t>>& classes, const QString& alphabet)
{
    return std::all_of(classes.begin(), classes.end(), [&alphabet](const QList<char32_t>& one) {
        return std::any_of(one.begin(), one.end(), [&alphabet](char32_t c) {
            return c < 0x80 && alphabet.contains(QChar(char16_t(c)));
        });
    });
}

// PostgreSQL's regular expressions take every character as an escape, inside brackets too, so no
// character of a term can act as an operator.
QByteArray postgreSqlCharacter(char32_t c)
{
    return c <= 0xFFFF ? QByteArray("\\u") + QByteArray::number(uint(c), 16).rightJustified(4, '0')
                       : QByteArray("\\U") + QByteArray::number(uint(c), 16).rightJustified(8, '0');
}

// PCRE in UTF mode, as MariaDB runs it on utf8mb4.
QByteArray mariaDbCharacter(char32_t c)
{
    return QByteArray("\\x{") + QByteArray::number(uint(c), 16) + '}';
}

QByteArray utf8Of(char32_t c)
{
    return QString::fromUcs4(&c, 1).toUtf8();
}

// GLOB has no escape: a special character stands in brackets of its own, and inside brackets "]"
// comes first, "^" not first and "-" last.
QByteArray sqliteClass(const QList<char32_t>& one)
{
    if (one.size() == 1) {
        const char32_t c = one.front();
        return c == '*' || c == '?' || c == '[' ? QByteArray("[") + char(c) + ']' : utf8Of(c);
    }
    QByteArray head;
    QByteArray body;
    QByteArray tail;
    for (char32_t c : one) {
        if (c == ']')
            head = "]";
        else if (c == '^' || c == '-')
            tail += char(c);
        else
            body += utf8Of(c);
    }
    return '[' + head + body + tail + ']';
}

} // namespace

ServerFilter::ServerFilter(FilterDialect dialect, IdentifierQuoting quoting, const QStringList& terms,
                           bool matchCase)
    : m_dialect(dialect), m_quoting(std::move(quoting)), m_matchCase(matchCase)
{
    for (const QString& term : terms) {
        if (!term.isEmpty())
            AddTerm(term);
    }
}

// A term that straddles two values holds the tab between them, or the blank on either side of
// it: without a tab, at most one blank at each end lies outside the value.
void ServerFilter::AddTerm(const QString& term)
{
    const QString needle = m_matchCase ? term : ToUpperKeepingLength(term);
    if (needle.contains(QLatin1Char('\t'))) {
        m_whyWhole = QStringLiteral("a term holds a tab, which stands between the values of a row");
        return;
    }
    // A value's text ends at its first NUL, and no statement can carry one.
    if (needle.contains(QChar(u'\0'))) {
        m_whyWhole = QStringLiteral("a term holds a NUL character");
        return;
    }
    if (needle.contains(QChar::ReplacementCharacter)) {
        m_whyWhole = QStringLiteral("a term holds U+FFFD, which stands for bytes that are not text");
        return;
    }
    QString core = needle;
    if (core.startsWith(QLatin1Char(' ')))
        core.remove(0, 1);
    if (core.endsWith(QLatin1Char(' ')))
        core.chop(1);
    if (core.isEmpty()) {
        m_whyWhole = QStringLiteral("a term of blanks matches between any two values");
        return;
    }
    Classes classes;
    for (char32_t c : core.toUcs4()) {
        QList<char32_t> one = m_matchCase ? QList<char32_t>{c} : UpperPreimage::Instance().Of(c);
        // Nothing upper-cases to this character: the term can never match.
        if (one.isEmpty())
            return;
        classes.append(std::move(one));
    }
    m_terms.append(std::move(classes));
}

ServerFilterPlan ServerFilter::PlanFor(const std::vector<SearchColumnRecord>& columns) const
{
    ServerFilterPlan plan;
    if (m_dialect == FilterDialect::None) {
        plan.whyWhole = QStringLiteral("the server's SQL is not known to the filter");
        return plan;
    }
    if (!m_whyWhole.isEmpty()) {
        plan.whyWhole = m_whyWhole;
        return plan;
    }
    QStringList tests;
    for (const SearchColumnRecord& column : columns) {
        if (!AddColumnTests(column, plan, tests)) {
            plan.parameters.clear();
            return plan;
        }
    }
    // No column can hold any term: the object has no row to report.
    plan.condition = tests.isEmpty() ? QStringLiteral("1 = 0") : tests.join(QStringLiteral(" or "));
    return plan;
}

// False, with the reason in the plan, when a term may appear in the column and the server
// cannot be asked about it.
bool ServerFilter::AddColumnTests(const SearchColumnRecord& column, ServerFilterPlan& plan,
                                  QStringList& tests) const
{
    const ColumnTextRule rule = ColumnTextRule::For(m_dialect, column, m_quoting);
    const auto whole = [&](const QString& why) {
        plan.whyWhole = QStringLiteral("column %1 (%2): %3").arg(column.name, column.dbmsType, why);
        return false;
    };
    for (const Classes& term : m_terms) {
        switch (rule.GetKind()) {
        case ColumnTextRule::Kind::Text:
            if (!rule.TextOnly().isEmpty() && !couldAppear(term, rule.NumberAlphabet()))
                tests.append(QLatin1Char('(') + rule.TextOnly() + Test(rule.Expression(), term, plan) +
                             QLatin1Char(')'));
            else
                tests.append(Test(rule.Expression(), term, plan));
            if (!rule.OtherExpression().isEmpty() && couldAppear(term, rule.OtherAlphabet()))
                tests.append(Test(rule.OtherExpression(), term, plan));
            break;
        case ColumnTextRule::Kind::PaddedText: {
            // Whatever of the term lies in the padding is blanks at its end.
            Classes trimmed = term;
            while (!trimmed.isEmpty() && trimmed.last() == QList<char32_t>{U' '})
                trimmed.removeLast();
            if (trimmed.isEmpty())
                return whole(QStringLiteral("a term of blanks matches the blanks that pad its values"));
            tests.append(Test(rule.Expression(), trimmed, plan));
            break;
        }
        case ColumnTextRule::Kind::Alphabet:
            if (!couldAppear(term, rule.Alphabet()))
                break;
            if (rule.Expression().isEmpty())
                return whole(rule.Why());
            tests.append(Test(rule.Expression(), term, plan));
            break;
        case ColumnTextRule::Kind::Unknown:
            return whole(rule.Why());
        }
    }
    return true;
}

QString ServerFilter::Test(const QString& expression, const Classes& classes, ServerFilterPlan& plan) const
{
    const QString operand = QLatin1Char('(') + expression + QLatin1Char(')');
    if (isExact(classes))
        return ContainsTest(operand, textOf(classes), plan);
    // Every match holds the term's characters that have no case just as they are: a plain
    // substring search for them, many times faster than a folding one, rejects most rows first.
    const QString run = longestCaselessRun(classes);
    if (run.size() < 2)
        return FoldedTest(operand, classes, plan);
    const QString contains = ContainsTest(operand, run, plan);
    return QLatin1Char('(') + contains + QStringLiteral(" and ") + FoldedTest(operand, classes, plan) +
           QLatin1Char(')');
}

QString ServerFilter::ContainsTest(const QString& operand, const QString& text, ServerFilterPlan& plan) const
{
    const QString value = Value(text.toUtf8(), plan);
    switch (m_dialect) {
    case FilterDialect::PostgreSql:
        return QStringLiteral("strpos(") + operand + QStringLiteral(", ") + value + QStringLiteral(") > 0");
    case FilterDialect::MariaDb:
        return QStringLiteral("locate(") + value + QStringLiteral(", ") + operand + QStringLiteral(") > 0");
    case FilterDialect::Sqlite:
        return QStringLiteral("instr(") + operand + QStringLiteral(", ") + value + QStringLiteral(") > 0");
    case FilterDialect::None:
        break;
    }
    return QString();
}

QString ServerFilter::FoldedTest(const QString& operand, const Classes& classes, ServerFilterPlan& plan) const
{
    const bool asciiFold = isAsciiCaseFold(classes);
    const QString value = Value(
        asciiFold && m_dialect != FilterDialect::MariaDb ? likePattern(classes) : Pattern(classes), plan);
    switch (m_dialect) {
    case FilterDialect::PostgreSql:
        // Several times faster than a regular expression; under the C collation ILIKE folds the
        // ASCII letters alone, whatever the database's locale.
        return asciiFold ? QLatin1Char('(') + operand + QStringLiteral(" collate \"C\") ilike ") + value
                         : operand + QStringLiteral(" ~ ") + value;
    case FilterDialect::MariaDb:
        return operand + QStringLiteral(" regexp ") + value;
    case FilterDialect::Sqlite:
        // Much faster than GLOB with brackets for every letter; LIKE folds the ASCII letters alone.
        return asciiFold ? operand + QStringLiteral(" like ") + value + QStringLiteral(" escape '\\'")
                         : operand + QStringLiteral(" glob ") + value;
    case FilterDialect::None:
        break;
    }
    return QString();
}

// psqlODBC sends bound parameters in the extended protocol, where a statement that waits on a lock
// cannot be cancelled: Stop and Skip would hang until the lock is gone. PostgreSQL gets the values
// as escape string literals, which mean the same whatever standard_conforming_strings says.
QString ServerFilter::Value(const QByteArray& value, ServerFilterPlan& plan) const
{
    if (m_dialect != FilterDialect::PostgreSql) {
        plan.parameters.push_back(value);
        return QStringLiteral("?");
    }
    QString text = QString::fromUtf8(value);
    text.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    text.replace(QLatin1Char('\''), QLatin1String("''"));
    return QStringLiteral("E'") + text + QLatin1Char('\'');
}

QByteArray ServerFilter::Pattern(const Classes& classes) const
{
    QByteArray pattern = m_dialect == FilterDialect::Sqlite ? "*" : "";
    for (const QList<char32_t>& one : classes) {
        if (m_dialect == FilterDialect::Sqlite) {
            pattern += sqliteClass(one);
            continue;
        }
        QByteArray characters;
        for (char32_t c : one)
            characters +=
                m_dialect == FilterDialect::PostgreSql ? postgreSqlCharacter(c) : mariaDbCharacter(c);
        pattern += one.size() == 1 ? characters : '[' + characters + ']';
    }
    return m_dialect == FilterDialect::Sqlite ? pattern + '*' : pattern;
}

} // namespace velkaro

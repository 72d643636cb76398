#pragma once

#include "search/engine/ColumnTextRule.h"
#include "search/engine/IdentifierQuoting.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <vector>

namespace velkaro {

struct SearchColumnRecord;

// The condition a data query carries so that the server sends only rows that may hold an
// instance, or why the object is read whole.
struct ServerFilterPlan
{
    QString condition;                  // empty: every row is read
    std::vector<QByteArray> parameters; // bound in order, UTF-8; none on PostgreSQL
    QString whyWhole;

    bool Filtered() const { return !condition.isEmpty(); }
};

// Writes a server-side condition that keeps every row the client-side match would report: some
// column's text holds a term's core in the case rule of the matcher. The match modes only narrow
// a substring match, so the condition ignores them; the client still judges every row it gets.
class ServerFilter final
{
public:
    ServerFilter(FilterDialect dialect, IdentifierQuoting quoting, const QStringList& terms, bool matchCase);

    ServerFilterPlan PlanFor(const std::vector<SearchColumnRecord>& columns) const;
    FilterDialect Dialect() const { return m_dialect; }

private:
    // For each character of a term, the characters a value may hold there.
    using Classes = QList<QList<char32_t>>;

    void AddTerm(const QString& term);
    bool AddColumnTests(const SearchColumnRecord& column, ServerFilterPlan& plan, QStringList& tests) const;
    // Each pushes its parameters in the order they stand in the text it returns.
    QString Test(const QString& expression, const Classes& classes, ServerFilterPlan& plan) const;
    QString ContainsTest(const QString& operand, const QString& text, ServerFilterPlan& plan) const;
    QString FoldedTest(const QString& operand, const Classes& classes, ServerFilterPlan& plan) const;
    QByteArray Pattern(const Classes& classes) const;
    // The value as the statement writes it: a parameter marker, or a literal where binding fails.
    QString Value(const QByteArray& value, ServerFilterPlan& plan) const;

    FilterDialect m_dialect;
    IdentifierQuoting m_quoting;
    bool m_matchCase;
    QList<Classes> m_terms;
    QString m_whyWhole; // a term no condition can serve
};

} // namespace velkaro

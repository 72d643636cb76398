#include "search/engine/IndexSearch.h"

#include "catalog/CDbSession.h"
#include "catalog/CatalogResultColumns.h"
#include "catalog/ObjectCatalogCall.h"
#include "catalog/OdbcStatement.h"
#include "search/engine/PadColumn.h"
#include "search/engine/ReportWriter.h"
#include "search/engine/RunContext.h"
#include "search/engine/RunFlags.h"
#include "search/engine/SearchHost.h"
#include "search/engine/SearchParameters.h"

#include <sqlext.h>

namespace velkaro {

namespace {

constexpr int kCell = 36;

QString headerLine()
{
    return QStringLiteral("\r\n") + PadColumn(QStringLiteral("OBJECT NAME"), kCell, true) +
           PadColumn(QStringLiteral("INDEX"), kCell, true) + PadColumn(QStringLiteral("COLUMN"), 41, true) +
           QStringLiteral("_\r\n");
}

bool isTable(const QString& type)
{
    return type.compare(QLatin1String("TABLE"), Qt::CaseInsensitive) == 0;
}

} // namespace

int IndexSearch::SearchIndexes()
{
    int count = 0;
    for (const RunObject& object : m_run.objects) {
        if (!object.record->type.toUpper().contains(QLatin1String("TABLE")))
            continue;
        m_run.flags.Checkpoint();
        m_run.host.SelectObject(object.reportName);
        m_run.host.StepProgress(SearchProgressBar::Indexes);
        if (!SearchTable(object, count))
            break;
    }
    return count;
}

bool IndexSearch::SearchTable(const RunObject& object, int& count)
{
    OdbcStatement statement(m_run.session.Hdbc(), &m_run.session.GetStatementCancel());
    SQLRETURN rc = SQL_NO_DATA;
    if (!OpenStatistics(statement, object, rc)) {
        // A call cancelled by a stop is no failure to report.
        m_run.flags.Checkpoint();
        if (!isTable(object.record->type))
            return true;
        ReportCatalogFailure(
            statement, QStringLiteral("\r\n\r\n\r\n  The following error ocurred when trying to process "
                                      "indexes in database "));
        return false;
    }
    // A table without indexes answers with no rows: that is no failure.
    if (rc != SQL_NO_DATA && !IsSuccess(rc) && isTable(object.record->type))
        ReportCatalogFailure(statement,
                             QStringLiteral("\r\n\r\n\r\nThe following error ocurred when trying to "
                                            "process indexes in database "));
    ReadRows(statement, object, rc, count);
    return true;
}

bool IndexSearch::OpenStatistics(OdbcStatement& statement, const RunObject& object, SQLRETURN& firstFetch)
{
    const SearchObjectRecord& record = *object.record;
    const ObjectCatalogCall call = ObjectCatalogCall::Statistics(
        statement, {record.qualifier, record.owner, record.name}, m_run.OwnerCandidates(record));
    firstFetch = call.firstFetch;
    return call.succeeded;
}

void IndexSearch::ReadRows(OdbcStatement& statement, const RunObject& object, SQLRETURN rc, int& count)
{
    TableState state;
    while (IsSuccess(rc)) {
        m_run.flags.Checkpoint();
        const QString indexName = statement.Text(StatIndexName);
        const bool statisticsRow = statement.NumberOr(StatType, SQL_TABLE_STAT) == SQL_TABLE_STAT;
        const QString columnName = statement.Text(StatColumnName);
        if (!statisticsRow) {
            ++count;
            TakeRow(object, indexName, columnName, state);
        }
        rc = statement.Fetch();
        if (rc != SQL_NO_DATA && !IsSuccess(rc)) {
            m_run.flags.Checkpoint();
            ReportRowError(statement, object, statisticsRow);
        }
    }
    if (state.wroteRow)
        m_run.writer.AppendHighlighted(QStringLiteral("\r\n"), ReportColor::Heading);
}

void IndexSearch::TakeRow(const RunObject& object, const QString& indexName, const QString& columnName,
                          TableState& state)
{
    if (indexName != state.previousName)
        state.newIndex = true;
    state.previousName = indexName;
    if (!m_run.parameters.searchIndexes)
        return;
    const QString matchText = state.newIndex ? indexName + QLatin1Char(' ') + columnName : columnName;
    if (!m_run.matcher.MatchText(matchText).found)
        return;
    ReportWriter& report = m_run.writer;
    if (m_firstInPhase) {
        report.AppendReport(QStringLiteral("\r\n\r\n\r\nInstances found in Index Names and/or Columns\r\n"),
                            ReportColor::Heading);
        report.AppendReport(headerLine(), ReportColor::Heading, false, true);
        m_firstInPhase = false;
    }
    QString objectCell(kCell, QLatin1Char(' '));
    if (state.firstInObject) {
        objectCell = PadColumn(object.reportName, kCell, true);
        state.firstInObject = false;
    }
    state.wroteRow = true;
    QString indexCell(kCell, QLatin1Char(' '));
    if (state.newIndex) {
        indexCell = PadColumn(indexName, kCell, true);
        report.AppendHighlighted(QStringLiteral("\r\n"), ReportColor::Text);
        state.newIndex = false;
    }
    report.AppendHighlighted(objectCell + indexCell + PadColumn(columnName, kCell, true) +
                                 QStringLiteral("\r\n"),
                             ReportColor::Text, false, true);
}

void IndexSearch::ReportCatalogFailure(OdbcStatement& statement, const QString& heading)
{
    const QString error = m_run.StatementError(statement.Handle());
    ReportWriter& report = m_run.writer;
    report.AppendReport(heading, ReportColor::Message);
    report.AppendReport(m_run.session.DisplayName(), ReportColor::Text);
    report.AppendReport(QStringLiteral("\r\n") + error, ReportColor::Message);
}

void IndexSearch::ReportRowError(OdbcStatement& statement, const RunObject& object, bool statisticsRow)
{
    if (m_run.StatementError(statement.Handle()).isEmpty())
        return;
    const QString what = statisticsRow ? QStringLiteral("some/all indexes for ")
                                       : QStringLiteral("some/all columns for index in ");
    m_run.writer.AppendReport(QStringLiteral("\r\n\t  ERROR: Could not get information for ") + what +
                                  object.record->type + QLatin1Char(' ') + object.reportName +
                                  QStringLiteral(" in database ") + m_run.session.DisplayName(),
                              ReportColor::Message);
}

} // namespace velkaro

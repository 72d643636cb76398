#include "search/engine/ColumnSearch.h"

#include "catalog/CDbSession.h"
#include "catalog/CatalogResultColumns.h"
#include "catalog/ObjectCatalogCall.h"
#include "catalog/OdbcStatement.h"
#include "search/engine/ColumnType.h"
#include "search/engine/IgnoredColumns.h"
#include "search/engine/PadColumn.h"
#include "search/engine/ReportWriter.h"
#include "search/engine/RunContext.h"
#include "search/engine/RunCoverage.h"
#include "search/engine/RunFlags.h"
#include "search/engine/SearchHost.h"

#include <sqlext.h>

namespace velkaro {

namespace {

constexpr int kCell = 36;

QString headerLine()
{
    return QStringLiteral("\r\n") + PadColumn(QStringLiteral("OBJECT NAME"), kCell, true) +
           PadColumn(QStringLiteral("COLUMN"), kCell, true) + PadColumn(QStringLiteral("TYPE"), 39, true) +
           QStringLiteral("_\r\n");
}

} // namespace

int ColumnSearch::SearchColumnsAndTypes()
{
    int count = 0;
    for (const RunObject& object : m_run.objects) {
        m_run.flags.Checkpoint();
        m_run.host.SelectObject(object.reportName);
        m_run.host.StepProgress(SearchProgressBar::ColumnsAndTypes);
        if (!SearchObject(object, count))
            break;
    }
    return count;
}

QString ColumnSearch::TypeText(const QString& nullability, const QString& typeName, int precision,
                               bool withPrecision)
{
    QString text = nullability + QLatin1Char(' ') + typeName;
    if (withPrecision)
        text += QStringLiteral(" (") + QString::number(precision) + QLatin1Char(')');
    return text;
}

bool ColumnSearch::SearchObject(const RunObject& object, int& count)
{
    SearchObjectRecord& record = *object.record;
    record.searchColumns.clear();
    OdbcStatement statement(m_run.session.Hdbc(), &m_run.session.GetStatementCancel());
    SQLRETURN rc = SQL_NO_DATA;
    if (!OpenColumns(statement, record, rc)) {
        // A call cancelled by a stop is no failure to show.
        m_run.flags.Checkpoint();
        // Shown through the host: a run's thread must not open a message box itself.
        const QString error = m_run.StatementError(statement.Handle());
        if (!error.isEmpty())
            m_run.host.ShowMessage(error);
        return false;
    }
    bool firstInObject = true;
    bool anyIgnored = false;
    for (; rc == SQL_SUCCESS; rc = statement.Fetch()) {
        m_run.flags.Checkpoint();
        ++count;
        SearchColumnRecord column = ReadColumn(statement);
        if (MatchesIgnoredColumn(m_run.parameters.ignoredColumnPatterns, column.name)) {
            anyIgnored = true;
            continue;
        }
        const QString matchText = MatchTextOf(column);
        record.searchColumns.push_back(column);
        if (!matchText.isEmpty() && m_run.matcher.MatchText(matchText).found)
            ReportColumn(object, column, firstInObject);
    }
    if (rc != SQL_NO_DATA && !IsSuccess(rc)) {
        m_run.flags.Checkpoint();
        ReportFetchError(statement, object);
    } else if (anyIgnored && record.searchColumns.empty()) {
        m_run.coverage.MarkAllColumnsIgnored(record);
    }
    return true;
}

bool ColumnSearch::OpenColumns(OdbcStatement& statement, const SearchObjectRecord& record,
                               SQLRETURN& firstFetch)
{
    const ObjectCatalogCall call =
        ObjectCatalogCall::Columns(statement, m_run.catalog, {record.qualifier, record.owner, record.name},
                                   m_run.OwnerCandidates(record));
    firstFetch = call.firstFetch;
    return call.succeeded;
}

SearchColumnRecord ColumnSearch::ReadColumn(OdbcStatement& statement) const
{
    SearchColumnRecord column;
    column.name = statement.Text(ColName);
    const int dataType = statement.NumberOr(ColDataType, 0);
    const QString typeName = statement.Text(ColTypeName);
    const int precision = statement.NumberOr(ColPrecision, 0);
    const int length = statement.NumberOr(ColLength, 0);
    const QString nullability = NullabilityText(statement.NumberOr(ColNullable, SQL_NULLABLE_UNKNOWN));
    const ColumnType type = ColumnType::For(dataType, length, precision);
    const QString shownType = m_run.parameters.useOdbcStandardTypes ? type.standardName : typeName;
    column.typeText = TypeText(nullability, shownType, precision, !m_run.parameters.ignoreColumnTypeLength);
    column.displayWidth = type.displayWidth;
    column.textual = type.textual;
    column.sqlType = dataType;
    column.dbmsType = typeName;
    return column;
}

QString ColumnSearch::MatchTextOf(const SearchColumnRecord& column) const
{
    const bool names = m_run.parameters.searchColumnNames;
    const bool types = m_run.parameters.searchDataTypes;
    if (names && types)
        return column.name + QLatin1Char(' ') + column.typeText;
    if (types)
        return column.typeText;
    if (names)
        return column.name;
    return QString();
}

void ColumnSearch::ReportColumn(const RunObject& object, const SearchColumnRecord& column,
                                bool& firstInObject)
{
    ReportWriter& report = m_run.writer;
    if (m_firstInPhase) {
        report.AppendReport(
            m_run.parameters.searchDataTypes
                ? QStringLiteral("\r\n\r\n\r\nInstances found in Column Names and/or Data Types\r\n")
                : QStringLiteral("\r\n\r\n\r\nInstances found in Column Names\r\n"),
            ReportColor::Heading);
        report.AppendReport(headerLine(), ReportColor::Heading, false, true);
        m_firstInPhase = false;
    }
    QString objectCell(kCell, QLatin1Char(' '));
    if (firstInObject) {
        report.AppendHighlighted(QStringLiteral("\r\n"), ReportColor::Text);
        objectCell = PadColumn(object.reportName, kCell, true);
        firstInObject = false;
    }
    report.AppendHighlighted(objectCell + PadColumn(column.name, kCell, true) + column.typeText +
                                 QStringLiteral("\r\n"),
                             ReportColor::Text, false, true);
}

void ColumnSearch::ReportFetchError(OdbcStatement& statement, const RunObject& object)
{
    const SearchObjectRecord& record = *object.record;
    if (m_run.StatementError(statement.Handle()).isEmpty())
        return;
    m_run.writer.AppendReport(
        QStringLiteral("\r\n\t  ERROR: Could not get information for some/all columns for ") + record.type +
            QLatin1Char(' ') + object.reportName + QStringLiteral(" in database ") +
            m_run.session.DisplayName(),
        ReportColor::Message);
}

} // namespace velkaro

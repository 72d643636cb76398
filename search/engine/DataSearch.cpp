#include "search/engine/DataSearch.h"

#include "catalog/CDbSession.h"
#include "catalog/QueryParameters.h"
#include "common/ValueSeparator.h"
#include "search/engine/KeyChunkReader.h"
#include "search/engine/PadColumn.h"
#include "search/engine/ReportWriter.h"
#include "search/engine/RunContext.h"
#include "search/engine/RunCoverage.h"
#include "search/engine/RunFlags.h"
#include "search/engine/SearchHost.h"

#include <algorithm>
#include <utility>

namespace velkaro {

namespace {

// The data statement of one object, released on every way out (a stop leaves by RunStopped).
class OpenQuery final
{
public:
    OpenQuery(CDbSession& session, std::vector<QByteArray> parameters = {})
        : m_session(session), m_parameters(std::move(parameters))
    {}
    ~OpenQuery() { m_session.CloseQuery(m_statement); }
    OpenQuery(const OpenQuery&) = delete;
    OpenQuery& operator=(const OpenQuery&) = delete;

    // Empty on success, else the driver's text.
    QString Execute(const QString& sql)
    {
        return m_session.ExecuteQuery(m_statement, sql, m_parameters.Count() > 0 ? &m_parameters : nullptr);
    }
    QString ExecuteUnstreamed(const QString& sql)
    {
        return m_session.ExecuteUnstreamedQuery(m_statement, sql);
    }
    SQLHSTMT Handle() const { return m_statement; }

private:
    CDbSession& m_session;
    QueryParameters m_parameters; // read by the driver until the statement is dropped
    SQLHSTMT m_statement = SQL_NULL_HSTMT;
};

const QString kValueSeparator =
    QString::fromLatin1(kRowValueSeparator.data(), qsizetype(kRowValueSeparator.size()));

} // namespace

DataSearch::DataSearch(RunContext& run, DataSelectBuilder builder, std::optional<ServerFilter> filter)
    : m_run(run), m_builder(std::move(builder)), m_filter(std::move(filter))
{
    if (m_filter && m_filter->Dialect() == FilterDialect::PostgreSql)
        m_probe.emplace(m_run.session);
}

void DataSearch::RunDataSearch()
{
    m_run.flags.ClearSkip();
    m_run.host.SetProgressRange(SearchProgressBar::Data, int(m_run.objects.size()));
    m_run.flags.SetDataPhase(true);
    m_run.host.CommandStateChanged();
    m_run.SetTitle(QStringLiteral("Searching Data"));
    for (const RunObject& object : m_run.objects)
        SearchObject(object);
    m_run.host.FinishProgress(SearchProgressBar::Data);
    m_run.flags.SetDataPhase(false);
    m_run.host.CommandStateChanged();
}

void DataSearch::SearchObject(const RunObject& object)
{
    m_run.host.SelectObject(object.reportName);
    ReadObject(object);
    // Stepped once the object is done, so the bar is full only when the last object is.
    m_run.host.StepProgress(SearchProgressBar::Data);
}

void DataSearch::ReadObject(const RunObject& object)
{
    SearchObjectRecord& record = *object.record;
    if (record.type == QLatin1String("SEQUENCE"))
        return;
    const DataSelect select = m_builder.BuildDataSelect(record);
    // An object whose columns are all ignored has nothing to read; it takes nothing off the total.
    if (select.columnList.isEmpty()) {
        m_run.coverage.NoColumnsToRead(record, object.reportName);
        return;
    }
    // A Skip that came between two calls has nothing to cancel: it is taken before the next one.
    if (LeftByRequest(object))
        return;
    ServerFilterPlan plan = FilterPlan(object);
    if (ReadProbed(object, select, plan))
        return;
    if (m_run.session.GetRowReading() == RowReading::KeyChunks && SearchInKeyChunks(object, select, plan))
        return;
    const QString statement =
        plan.Filtered() ? select.statement + QStringLiteral(" where ") + plan.condition : select.statement;
    OpenQuery query(m_run.session, std::move(plan.parameters));
    // One object the login may not read (a system view, say) does not end the search of the rest.
    const QString error = query.Execute(statement);
    if (!error.isEmpty()) {
        FailedUnlessLeft(object, error);
        return;
    }
    ReadStatementRows(object, query.Handle());
}

ServerFilterPlan DataSearch::FilterPlan(const RunObject& object) const
{
    return m_filter ? m_filter->PlanFor(object.record->searchColumns) : ServerFilterPlan{};
}

// Once the plan is final, so that the coverage list says how the rows were asked for.
void DataSearch::RecordPlan(const RunObject& object, const ServerFilterPlan& plan)
{
    if (!m_filter)
        return;
    if (plan.Filtered())
        m_run.coverage.ServerFiltered(object.record->type, object.reportName);
    else
        m_run.coverage.EveryRowRead(object.record->type, object.reportName, plan.whyWhole);
}

// True when the object is done: its rows came from the probe, or a Stop or Skip came. Otherwise
// the object is read through the cursor with the plan as it now stands: every row where more
// rows matched than the probe takes and most of a sample of the table passes the filter. A probe
// that failed is not reported: the cursor's query meets the same failure.
bool DataSearch::ReadProbed(const RunObject& object, const DataSelect& select, ServerFilterPlan& plan)
{
    if (!m_probe || !m_probe->Probeable(*object.record, plan)) {
        RecordPlan(object, plan);
        return LeftByRequest(object);
    }
    OpenQuery query(m_run.session);
    const bool probed = query.ExecuteUnstreamed(FilterProbe::Statement(select, plan)).isEmpty();
    if (probed && FilterProbe::Complete(query.Handle())) {
        RecordPlan(object, plan);
        ReadStatementRows(object, query.Handle());
        return true;
    }
    // There the filter would drop few rows and only add its own work on the server to a read of
    // every row.
    if (probed && m_probe->MostRowsPass(*object.record, select, plan))
        plan = {QString(), {}, QStringLiteral("most of its rows pass the filter")};
    RecordPlan(object, plan);
    return LeftByRequest(object);
}

// False for an object without a usable key: it is then read whole.
bool DataSearch::SearchInKeyChunks(const RunObject& object, const DataSelect& select,
                                   const ServerFilterPlan& plan)
{
    const SearchObjectRecord& record = *object.record;
    std::optional<TableKey> key = TableKey::Find(m_run.catalog, record, m_run.OwnerCandidates(record));
    // The key's catalog calls wait on a locked table too; a Stop or Skip cancels them.
    if (LeftByRequest(object))
        return true;
    if (!key) {
        m_run.coverage.ReadWhole(record.type, object.reportName);
        return false;
    }
    KeyChunkReader reader(m_run.session, m_builder.Quoting(), std::move(*key), select.columnList,
                          m_builder.ObjectName(record), int(record.searchColumns.size()),
                          KeyChunkReader::RowsPerChunk(record.searchColumns), plan.condition,
                          plan.parameters);
    const QString error = reader.Execute();
    if (!error.isEmpty()) {
        FailedUnlessLeft(object, error);
        return true;
    }
    ReadRows(object, [&reader](FetchedRow& row, QString& error) {
        const FetchResult fetched = reader.FetchRow(row);
        if (fetched == FetchResult::Failed)
            error = reader.Error();
        return fetched;
    });
    return true;
}

void DataSearch::ReadRows(const RunObject& object, const RowSource& fetchRow)
{
    bool headingWritten = false;
    for (;;) {
        if (LeftByRequest(object))
            return;
        QString error;
        const FetchResult fetched = fetchRow(m_row, error);
        if (fetched == FetchResult::End) {
            m_run.coverage.ObjectRead();
            return;
        }
        if (fetched == FetchResult::Failed) {
            FailedUnlessLeft(object, error);
            return;
        }
        m_run.coverage.CountRow();
        // Most rows hold no instance and are plain ASCII: they are judged on the driver's bytes,
        // and only the others are decoded.
        const std::optional<bool> plainMatch = m_run.matcher.MatchAsciiBytes(m_row.Bytes());
        if (plainMatch == false)
            continue;
        m_row.TextInto(m_rowText);
        if (!plainMatch && !m_run.matcher.MatchText(m_rowText).found)
            continue;
        if (!headingWritten) {
            WriteHeading(object);
            headingWritten = true;
        }
        // Rows count toward the auto-save portion like other lines, so a run that finds a
        // million rows still keeps a window of bounded size.
        m_run.writer.AppendHighlighted(RowLine(*object.record, m_rowText.split(kValueSeparator)),
                                       ReportColor::Text, false, true);
    }
}

void DataSearch::ReadStatementRows(const RunObject& object, SQLHSTMT statement)
{
    ReadRows(object, [this, statement](FetchedRow& row, QString& error) {
        const FetchResult fetched = m_run.session.FetchRow(statement, row);
        if (fetched == FetchResult::Failed)
            error = m_run.session.LastError();
        return fetched;
    });
}

// A stop ends the run here; a skip leaves the object. Either may have cancelled the call that
// just failed.
bool DataSearch::LeftByRequest(const RunObject& object)
{
    m_run.flags.Checkpoint();
    if (!m_run.flags.TakeSkip())
        return false;
    m_run.writer.AppendReport(QStringLiteral("\r\nObject Skipped ...\r\n\r\n"), ReportColor::Message);
    m_run.coverage.LeaveOut(object.record->type, object.reportName, RunCoverage::Reason::SkippedByUser);
    return true;
}

// A call that Stop or Skip cancelled is no failure of the object.
void DataSearch::FailedUnlessLeft(const RunObject& object, const QString& error)
{
    if (!LeftByRequest(object))
        ReportFailure(object, error);
}

void DataSearch::ReportFailure(const RunObject& object, const QString& error)
{
    ReportWriter& report = m_run.writer;
    report.AppendReport(QStringLiteral("\r\n\r\n\r\nThe following error was received while processing ") +
                            object.record->type + QLatin1Char(' '),
                        ReportColor::Message);
    report.AppendReport(object.reportName, ReportColor::Text);
    report.AppendReport(QStringLiteral(" in database "), ReportColor::Message);
    report.AppendReport(m_run.session.DisplayName() + QStringLiteral(" :\r\n"), ReportColor::Text);
    report.AppendReport(error + QStringLiteral("\r\n\r\n"), ReportColor::Message, false, true);
    m_run.coverage.LeaveOut(object.record->type, object.reportName, RunCoverage::Reason::Failed, error);
}

void DataSearch::WriteHeading(const RunObject& object)
{
    ReportWriter& report = m_run.writer;
    report.AppendReport(QStringLiteral("\r\n\r\n\r\nInstances found in data from ") + object.record->type +
                            QLatin1Char(' '),
                        ReportColor::Heading);
    report.AppendReport(object.reportName + QStringLiteral("\r\n\r\n"), ReportColor::Text);
    report.AppendHighlighted(HeaderLine(*object.record), ReportColor::Heading, true);
}

QString DataSearch::HeaderLine(SearchObjectRecord& object)
{
    QString line;
    for (SearchColumnRecord& column : object.searchColumns) {
        column.currentWidth = std::min(column.displayWidth, kMaxHeaderWidth);
        line += PadColumn(column.name, column.currentWidth, true) + QLatin1Char('_');
    }
    return line + QStringLiteral("\r\n");
}

QString DataSearch::RowLine(SearchObjectRecord& object, const QStringList& values)
{
    QString line;
    for (qsizetype i = 0; i < values.size(); ++i) {
        const QString& value = values.at(i);
        int width = int(value.size());
        if (i < qsizetype(object.searchColumns.size())) {
            SearchColumnRecord& column = object.searchColumns[size_t(i)];
            // Capped as the header is: one long value must not widen every later row.
            column.currentWidth = std::max(column.currentWidth, std::min(int(value.size()), kMaxHeaderWidth));
            width = column.currentWidth;
        }
        line += PadColumn(value, width, false) + QLatin1Char(' ');
    }
    return line + QStringLiteral("\r\n");
}

} // namespace velkaro

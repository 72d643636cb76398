#include "search/engine/DataSearch.h"

#include "catalog/CDbSession.h"
#include "search/engine/PadColumn.h"
#include "search/engine/ReportWriter.h"
#include "search/engine/RunContext.h"
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
    explicit OpenQuery(CDbSession& session) : m_session(session) {}
    ~OpenQuery() { m_session.CloseQuery(m_statement); }
    OpenQuery(const OpenQuery&) = delete;
    OpenQuery& operator=(const OpenQuery&) = delete;

    // Empty on success, else the driver's text.
    QString execute(const QString& sql) { return m_session.ExecuteQuery(m_statement, sql); }
    SQLHSTMT handle() const { return m_statement; }

private:
    CDbSession& m_session;
    SQLHSTMT m_statement = SQL_NULL_HSTMT;
};

const QString kValueSeparator = QStringLiteral(" \t ");

} // namespace

DataSearch::DataSearch(RunContext& run, DataSelectBuilder builder) : m_run(run), m_builder(std::move(builder))
{}

void DataSearch::RunDataSearch()
{
    m_run.flags.clearSkip();
    m_run.host.setProgressRange(SearchProgressBar::Data, int(m_run.objects.size()));
    m_run.flags.setDataPhase(true);
    m_run.host.commandStateChanged();
    m_run.setTitle(QStringLiteral("Searching Data"));
    for (const RunObject& object : m_run.objects)
        searchObject(object);
    m_run.host.finishProgress(SearchProgressBar::Data);
    m_run.flags.setDataPhase(false);
    m_run.host.commandStateChanged();
}

void DataSearch::searchObject(const RunObject& object)
{
    m_run.host.selectObject(object.reportName);
    m_run.host.stepProgress(SearchProgressBar::Data);
    SearchObjectRecord& record = *object.record;
    if (record.type == QLatin1String("SEQUENCE"))
        return;
    const DataSelect select = m_builder.BuildDataSelect(record);
    // An object whose columns are all ignored has nothing to read; it takes nothing off the total.
    if (select.columnList.isEmpty())
        return;
    OpenQuery query(m_run.session);
    // One object the login may not read (a system view, say) does not end the search of the rest.
    const QString error = query.execute(select.statement);
    if (!error.isEmpty()) {
        if (leftByRequest())
            return;
        reportFailure(object, error);
        return;
    }
    readRows(object, query.handle());
}

void DataSearch::readRows(const RunObject& object, SQLHSTMT statement)
{
    bool headingWritten = false;
    for (;;) {
        if (leftByRequest())
            return;
        if (!m_run.session.FetchRow(statement, m_row)) {
            leftByRequest();
            return;
        }
        // Most rows hold no instance and are plain ASCII: they are judged on the driver's bytes,
        // and only the others are decoded.
        const std::optional<bool> plainMatch = m_run.matcher.MatchAsciiBytes(m_row.Bytes());
        if (plainMatch == false)
            continue;
        m_row.TextInto(m_rowText);
        if (!plainMatch && !m_run.matcher.MatchText(m_rowText).found)
            continue;
        if (!headingWritten) {
            writeHeading(object);
            headingWritten = true;
        }
        m_run.writer.AppendHighlighted(RowLine(*object.record, m_rowText.split(kValueSeparator)),
                                       ReportColor::Text);
    }
}

// A stop ends the run here; a skip leaves the object. Either may have cancelled the call that
// just failed.
bool DataSearch::leftByRequest()
{
    m_run.flags.checkpoint();
    if (!m_run.flags.takeSkip())
        return false;
    m_run.writer.AppendReport(QStringLiteral("\r\nObject Skipped ...\r\n\r\n"), ReportColor::Message);
    return true;
}

void DataSearch::reportFailure(const RunObject& object, const QString& error)
{
    ReportWriter& report = m_run.writer;
    report.AppendReport(QStringLiteral("\r\n\r\n\r\nThe following error was received while processing ") +
                            object.record->type + QLatin1Char(' '),
                        ReportColor::Message);
    report.AppendReport(object.reportName, ReportColor::Text);
    report.AppendReport(QStringLiteral(" in database "), ReportColor::Message);
    report.AppendReport(m_run.session.displayName() + QStringLiteral(" :\r\n"), ReportColor::Text);
    report.AppendReport(error + QStringLiteral("\r\n\r\n"), ReportColor::Message, false, true);
}

void DataSearch::writeHeading(const RunObject& object)
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
            column.currentWidth = std::max(column.currentWidth, int(value.size()));
            width = column.currentWidth;
        }
        line += PadColumn(value, width, false) + QLatin1Char(' ');
    }
    return line + QStringLiteral("\r\n");
}

} // namespace velkaro

#include "search/engine/DataSearch.h"

#include "catalog/CDbSession.h"
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

const QString kValueSeparator =
    QString::fromLatin1(kRowValueSeparator.data(), qsizetype(kRowValueSeparator.size()));

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
    readObject(object);
    // Stepped once the object is done, so the bar is full only when the last object is.
    m_run.host.stepProgress(SearchProgressBar::Data);
}

void DataSearch::readObject(const RunObject& object)
{
    SearchObjectRecord& record = *object.record;
    if (record.type == QLatin1String("SEQUENCE"))
        return;
    const DataSelect select = m_builder.BuildDataSelect(record);
    // An object whose columns are all ignored has nothing to read; it takes nothing off the total.
    if (select.columnList.isEmpty()) {
        m_run.coverage.noColumnsToRead(record, object.reportName);
        return;
    }
    // A Skip that came between two calls has nothing to cancel: it is taken before the next one.
    if (leftByRequest(object))
        return;
    if (m_run.session.rowReading() == RowReading::KeyChunks && searchInKeyChunks(object, select))
        return;
    OpenQuery query(m_run.session);
    // One object the login may not read (a system view, say) does not end the search of the rest.
    const QString error = query.execute(select.statement);
    if (!error.isEmpty()) {
        failedUnlessLeft(object, error);
        return;
    }
    readRows(object, [this, &query](FetchedRow& row, QString& error) {
        const FetchResult fetched = m_run.session.FetchRow(query.handle(), row);
        if (fetched == FetchResult::Failed)
            error = m_run.session.lastError();
        return fetched;
    });
}

// False for an object without a usable key: it is then read whole.
bool DataSearch::searchInKeyChunks(const RunObject& object, const DataSelect& select)
{
    const SearchObjectRecord& record = *object.record;
    std::optional<TableKey> key = TableKey::Find(m_run.catalog, record, m_run.ownerCandidates(record));
    // The key's catalog calls wait on a locked table too; a Stop or Skip cancels them.
    if (leftByRequest(object))
        return true;
    if (!key) {
        m_run.coverage.readWhole(record.type, object.reportName);
        return false;
    }
    KeyChunkReader reader(m_run.session, m_builder.quoting(), std::move(*key), select.columnList,
                          m_builder.objectName(record), int(record.searchColumns.size()),
                          KeyChunkReader::RowsPerChunk(record.searchColumns));
    const QString error = reader.Execute();
    if (!error.isEmpty()) {
        failedUnlessLeft(object, error);
        return true;
    }
    readRows(object, [&reader](FetchedRow& row, QString& error) {
        const FetchResult fetched = reader.FetchRow(row);
        if (fetched == FetchResult::Failed)
            error = reader.error();
        return fetched;
    });
    return true;
}

void DataSearch::readRows(const RunObject& object, const RowSource& fetchRow)
{
    bool headingWritten = false;
    for (;;) {
        if (leftByRequest(object))
            return;
        QString error;
        const FetchResult fetched = fetchRow(m_row, error);
        if (fetched == FetchResult::End) {
            m_run.coverage.objectRead();
            return;
        }
        if (fetched == FetchResult::Failed) {
            failedUnlessLeft(object, error);
            return;
        }
        m_run.coverage.countRow();
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
        // Rows count toward the auto-save portion like other lines, so a run that finds a
        // million rows still keeps a window of bounded size.
        m_run.writer.AppendHighlighted(RowLine(*object.record, m_rowText.split(kValueSeparator)),
                                       ReportColor::Text, false, true);
    }
}

// A stop ends the run here; a skip leaves the object. Either may have cancelled the call that
// just failed.
bool DataSearch::leftByRequest(const RunObject& object)
{
    m_run.flags.checkpoint();
    if (!m_run.flags.takeSkip())
        return false;
    m_run.writer.AppendReport(QStringLiteral("\r\nObject Skipped ...\r\n\r\n"), ReportColor::Message);
    m_run.coverage.leaveOut(object.record->type, object.reportName, RunCoverage::Reason::SkippedByUser);
    return true;
}

// A call that Stop or Skip cancelled is no failure of the object.
void DataSearch::failedUnlessLeft(const RunObject& object, const QString& error)
{
    if (!leftByRequest(object))
        reportFailure(object, error);
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
    m_run.coverage.leaveOut(object.record->type, object.reportName, RunCoverage::Reason::Failed, error);
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
            // Capped as the header is: one long value must not widen every later row.
            column.currentWidth = std::max(column.currentWidth, std::min(int(value.size()), kMaxHeaderWidth));
            width = column.currentWidth;
        }
        line += PadColumn(value, width, false) + QLatin1Char(' ');
    }
    return line + QStringLiteral("\r\n");
}

} // namespace velkaro

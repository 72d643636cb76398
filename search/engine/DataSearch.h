#pragma once

#include "catalog/FetchedRow.h"
#include "search/engine/DataSelectBuilder.h"
#include "search/engine/FilterProbe.h"
#include "search/engine/ServerFilter.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <sql.h>

namespace velkaro {

enum class FetchResult;

class RunContext;
struct RunObject;
struct SearchObjectRecord;

// The data phase: one SELECT per object over its kept columns, each row read as text and
// written to the report when it holds an instance, under a heading per object.
class DataSearch final
{
public:
    // Header cells wider than this are cut: long types report widths in the millions.
    static constexpr int kMaxHeaderWidth = 100;

    // With a filter, each data query asks the server for the rows that may hold an instance,
    // where the filter can prove that no other row holds one.
    DataSearch(RunContext& run, DataSelectBuilder builder, std::optional<ServerFilter> filter = std::nullopt);

    void RunDataSearch();

    // The column header line; sets each column's current width.
    static QString HeaderLine(SearchObjectRecord& object);
    // One row's values padded to the current widths; a longer value widens its column for the
    // later rows of the object, up to kMaxHeaderWidth. Values are never cut.
    static QString RowLine(SearchObjectRecord& object, const QStringList& values);

private:
    void SearchObject(const RunObject& object);
    // The next row into the buffer; on a failure, the driver's text into the error.
    using RowSource = std::function<FetchResult(FetchedRow&, QString&)>;

    void ReadObject(const RunObject& object);
    ServerFilterPlan FilterPlan(const RunObject& object) const;
    void RecordPlan(const RunObject& object, const ServerFilterPlan& plan);
    bool ReadProbed(const RunObject& object, const DataSelect& select, ServerFilterPlan& plan);
    bool SearchInKeyChunks(const RunObject& object, const DataSelect& select, const ServerFilterPlan& plan);
    void ReadRows(const RunObject& object, const RowSource& fetchRow);
    void ReadStatementRows(const RunObject& object, SQLHSTMT statement);
    bool LeftByRequest(const RunObject& object);
    void FailedUnlessLeft(const RunObject& object, const QString& error);
    void ReportFailure(const RunObject& object, const QString& error);
    void WriteHeading(const RunObject& object);

    RunContext& m_run;
    DataSelectBuilder m_builder;
    std::optional<ServerFilter> m_filter;
    std::optional<FilterProbe> m_probe;
    // One buffer for every row of the phase, and one for the text of those that need decoding.
    FetchedRow m_row;
    QString m_rowText;
};

} // namespace velkaro

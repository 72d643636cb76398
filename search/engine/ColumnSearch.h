#pragma once

#include "catalog/SearchRecords.h"

#include <QString>
#include <sql.h>

namespace velkaro {

class OdbcStatement;
class RunContext;
struct RunObject;

// The column and data type phase: reads every column of every object of the run, keeps the
// columns the data search will select, and reports the names and type texts that match.
class ColumnSearch final
{
public:
    explicit ColumnSearch(RunContext& run) : m_run(run) {}

    // The number of column rows read. Ends early when the catalog refuses a call.
    int SearchColumnsAndTypes();

    // The type text of a column row: nullability, a blank, the type name and its precision.
    static QString TypeText(const QString& nullability, const QString& typeName, int precision,
                            bool withPrecision);

private:
    bool SearchObject(const RunObject& object, int& count);
    bool OpenColumns(OdbcStatement& statement, const SearchObjectRecord& record, SQLRETURN& firstFetch);
    SearchColumnRecord ReadColumn(OdbcStatement& statement) const;
    QString MatchTextOf(const SearchColumnRecord& column) const;
    void ReportColumn(const RunObject& object, const SearchColumnRecord& column, bool& firstInObject);
    void ReportFetchError(OdbcStatement& statement, const RunObject& object);

    RunContext& m_run;
    bool m_firstInPhase = true;
};

} // namespace velkaro

#pragma once

#include <QString>
#include <sql.h>

namespace velkaro {

class OdbcStatement;
class RunContext;
struct RunObject;

// The index phase: reads the indexes of every table of the run and reports the index and index
// column names that match, each index name once, on its first matching row.
class IndexSearch final
{
public:
    explicit IndexSearch(RunContext& run) : m_run(run) {}

    // The number of index rows read. Ends early when the catalog refuses a table.
    int SearchIndexes();

private:
    // Per table: which index the rows are in, and what has been written for the table.
    struct TableState
    {
        QString previousName;
        bool newIndex = false;
        bool firstInObject = true;
        bool wroteRow = false;
    };

    bool SearchTable(const RunObject& object, int& count);
    bool OpenStatistics(OdbcStatement& statement, const RunObject& object, SQLRETURN& firstFetch);
    void ReadRows(OdbcStatement& statement, const RunObject& object, SQLRETURN rc, int& count);
    void TakeRow(const RunObject& object, const QString& indexName, const QString& columnName,
                 TableState& state);
    void ReportCatalogFailure(OdbcStatement& statement, const QString& heading);
    void ReportRowError(OdbcStatement& statement, const RunObject& object, bool statisticsRow);

    RunContext& m_run;
    bool m_firstInPhase = true;
};

} // namespace velkaro

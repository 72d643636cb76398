#pragma once

#include <sql.h>
#include <vector>

namespace velkaro {

class FetchedRow;

// Reads the rows of a data query through columns bound once as character data, a block of rows
// per fetch where the driver allows: one driver call for many values instead of one a value,
// which is most of the cost of a scan. A value longer than its buffer is read again whole with
// SQLGetData, so a row reads exactly as FetchedRow::Read gives it.
class BoundRowReader final
{
public:
    // Whether the driver reads a bound column again with SQLGetData, which completes a long value.
    static bool DriverCompletesBoundValues(SQLHDBC connection);

    // Binds columns 1 to columns of the statement with rowsPerFetch rows a fetch; false, with
    // nothing bound, when the driver refuses. The buffers must outlive the statement's bindings:
    // bind again before the next fetch of any other statement this reader bound.
    bool Bind(SQLHSTMT statement, SQLSMALLINT columns, SQLULEN rowsPerFetch);

    // After a fetch that succeeded: moves to the block's first row; false when it brought none.
    bool StartBlock();
    // Moves to the block's next row; false when the block is used up and the next fetch is due.
    bool NextInBlock();
    // The driver marked the current row as failed (its diagnostics tell why).
    bool RowFailed() const;
    // The current row into row.
    void Read(SQLHSTMT statement, FetchedRow& row) const;

private:
    bool SkipRowsWithoutData();
    bool CompleteValue(SQLHSTMT statement, SQLSMALLINT column, FetchedRow& row) const;

    // Most values fit: a longer one costs a second call, a bigger buffer costs on every row
    // (some drivers fill the whole buffer).
    static constexpr SQLLEN kBoundBytes = 256;
    static constexpr SQLLEN kBufferBudget = 4 * 1024 * 1024; // bytes of bound values a fetch

    std::vector<char> m_values;       // column by column, kBoundBytes a row
    std::vector<SQLLEN> m_indicators; // column by column, one a row
    std::vector<SQLUSMALLINT> m_statuses;
    SQLULEN m_rowsFetched = 0;
    SQLULEN m_rowsPerFetch = 1;
    SQLULEN m_row = 0; // the current row of the block
    SQLSMALLINT m_columns = 0;
};

} // namespace velkaro

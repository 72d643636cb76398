#pragma once

#include <sql.h>
#include <vector>

namespace velkaro {

class FetchedRow;

// Reads the rows of a data query through columns bound once as character data: one driver call a
// row instead of one a value, which is most of the cost of a scan. A value longer than its buffer
// is read again whole with SQLGetData, so a row reads exactly as FetchedRow::Read gives it.
class BoundRowReader final
{
public:
    // Whether the driver reads a bound column again with SQLGetData, which completes a long value.
    static bool DriverCompletesBoundValues(SQLHDBC connection);

    // Binds columns 1 to columns of the statement, one row at a time; false, with nothing bound,
    // when the driver refuses a binding. The buffers must outlive the statement's bindings: bind
    // again before the next fetch of any other statement this reader bound.
    bool Bind(SQLHSTMT statement, SQLSMALLINT columns);
    // The row the statement was just fetched to.
    void Read(SQLHSTMT statement, FetchedRow& row) const;

private:
    // Most values fit: a longer one costs a second call, a bigger buffer costs on every row
    // (some drivers fill the whole buffer).
    static constexpr SQLLEN kBoundBytes = 256;

    std::vector<char> m_values; // kBoundBytes a column
    std::vector<SQLLEN> m_indicators;
    SQLSMALLINT m_columns = 0;
};

} // namespace velkaro

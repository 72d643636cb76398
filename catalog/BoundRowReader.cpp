#include "catalog/BoundRowReader.h"

#include "catalog/FetchedRow.h"
#include "common/OdbcSuccess.h"

#include <algorithm>
#include <sqlext.h>

namespace velkaro {

bool BoundRowReader::DriverCompletesBoundValues(SQLHDBC connection)
{
    SQLUINTEGER extensions = 0;
    return IsSuccess(
               SQLGetInfo(connection, SQL_GETDATA_EXTENSIONS, &extensions, sizeof extensions, nullptr)) &&
           (extensions & SQL_GD_BOUND) != 0;
}

bool BoundRowReader::Bind(SQLHSTMT statement, SQLSMALLINT columns, SQLULEN rowsPerFetch)
{
    m_columns = columns > 0 ? columns : 0;
    // A wide table takes fewer rows a fetch: the buffers stay within a budget whatever the columns.
    const SQLULEN rowsInBudget = SQLULEN(kBufferBudget / (std::max<SQLLEN>(m_columns, 1) * kBoundBytes));
    m_rowsPerFetch = std::max<SQLULEN>(std::min(rowsPerFetch, rowsInBudget), 1);
    m_values.resize(size_t(m_columns) * m_rowsPerFetch * size_t(kBoundBytes));
    m_indicators.assign(size_t(m_columns) * m_rowsPerFetch, 0);
    m_statuses.assign(m_rowsPerFetch, SQL_ROW_NOROW);
    m_rowsFetched = 0;
    m_row = 0;
    bool bound = IsSuccess(SQLSetStmtAttr(statement, SQL_ATTR_ROW_ARRAY_SIZE,
                                          reinterpret_cast<SQLPOINTER>(m_rowsPerFetch), 0)) &&
                 IsSuccess(SQLSetStmtAttr(statement, SQL_ATTR_ROWS_FETCHED_PTR, &m_rowsFetched, 0)) &&
                 IsSuccess(SQLSetStmtAttr(statement, SQL_ATTR_ROW_STATUS_PTR, m_statuses.data(), 0));
    for (SQLSMALLINT i = 0; bound && i < m_columns; ++i) {
        const size_t first = size_t(i) * m_rowsPerFetch;
        bound = IsSuccess(SQLBindCol(statement, SQLUSMALLINT(i + 1), SQL_C_CHAR,
                                     m_values.data() + first * size_t(kBoundBytes), kBoundBytes,
                                     m_indicators.data() + first));
    }
    if (bound)
        return true;
    SQLFreeStmt(statement, SQL_UNBIND);
    SQLSetStmtAttr(statement, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(SQLULEN(1)), 0);
    SQLSetStmtAttr(statement, SQL_ATTR_ROWS_FETCHED_PTR, nullptr, 0);
    SQLSetStmtAttr(statement, SQL_ATTR_ROW_STATUS_PTR, nullptr, 0);
    m_columns = 0;
    return false;
}

bool BoundRowReader::StartBlock()
{
    m_row = 0;
    return SkipRowsWithoutData();
}

bool BoundRowReader::NextInBlock()
{
    if (m_row >= m_rowsFetched)
        return false;
    ++m_row;
    return SkipRowsWithoutData();
}

bool BoundRowReader::SkipRowsWithoutData()
{
    while (m_row < m_rowsFetched && m_statuses[m_row] == SQL_ROW_NOROW)
        ++m_row;
    return m_row < m_rowsFetched;
}

bool BoundRowReader::RowFailed() const
{
    return m_row < m_rowsFetched && m_statuses[m_row] == SQL_ROW_ERROR;
}

void BoundRowReader::Read(SQLHSTMT statement, FetchedRow& row) const
{
    row.Begin(m_columns);
    for (SQLSMALLINT i = 0; i < m_columns; ++i) {
        const size_t cell = size_t(i) * m_rowsPerFetch + m_row;
        const SQLLEN indicator = m_indicators[cell];
        if (indicator == SQL_NULL_DATA)
            row.Append(nullptr, 0);
        else if (indicator == SQL_NO_TOTAL || indicator >= kBoundBytes) {
            if (!CompleteValue(statement, i, row))
                row.Append(m_values.data() + cell * size_t(kBoundBytes), kBoundBytes - 1);
        } else
            row.Append(m_values.data() + cell * size_t(kBoundBytes), indicator);
    }
}

// The buffer cut the value: read it whole, positioned on its row where the block holds several.
bool BoundRowReader::CompleteValue(SQLHSTMT statement, SQLSMALLINT column, FetchedRow& row) const
{
    if (m_rowsPerFetch > 1 &&
        !IsSuccess(SQLSetPos(statement, SQLSETPOSIROW(m_row + 1), SQL_POSITION, SQL_LOCK_NO_CHANGE)))
        return false;
    row.ReadInto(statement, SQLUSMALLINT(column + 1));
    return true;
}

} // namespace velkaro

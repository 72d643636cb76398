#include "catalog/BoundRowReader.h"

#include "catalog/FetchedRow.h"

#include <sqlext.h>

namespace velkaro {

bool BoundRowReader::DriverCompletesBoundValues(SQLHDBC connection)
{
    SQLUINTEGER extensions = 0;
    const SQLRETURN rc =
        SQLGetInfo(connection, SQL_GETDATA_EXTENSIONS, &extensions, sizeof extensions, nullptr);
    return (rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO) && (extensions & SQL_GD_BOUND) != 0;
}

bool BoundRowReader::Bind(SQLHSTMT statement, SQLSMALLINT columns)
{
    m_columns = columns > 0 ? columns : 0;
    m_values.resize(size_t(m_columns) * size_t(kBoundBytes));
    m_indicators.assign(size_t(m_columns), 0);
    for (SQLSMALLINT i = 0; i < m_columns; ++i) {
        const SQLRETURN rc = SQLBindCol(statement, SQLUSMALLINT(i + 1), SQL_C_CHAR,
                                        m_values.data() + size_t(i) * size_t(kBoundBytes), kBoundBytes,
                                        &m_indicators[size_t(i)]);
        if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO) {
            SQLFreeStmt(statement, SQL_UNBIND);
            m_columns = 0;
            return false;
        }
    }
    return true;
}

void BoundRowReader::Read(SQLHSTMT statement, FetchedRow& row) const
{
    row.Begin(m_columns);
    for (SQLSMALLINT i = 0; i < m_columns; ++i) {
        const SQLLEN indicator = m_indicators[size_t(i)];
        if (indicator == SQL_NULL_DATA)
            row.Append(nullptr, 0);
        else if (indicator == SQL_NO_TOTAL || indicator >= kBoundBytes)
            row.ReadInto(statement, SQLUSMALLINT(i + 1)); // cut by the buffer: read it whole
        else
            row.Append(m_values.data() + size_t(i) * size_t(kBoundBytes), indicator);
    }
}

} // namespace velkaro

#include "catalog/QueryParameters.h"

#include "common/OdbcSuccess.h"

#include <sqlext.h>
#include <utility>

namespace velkaro {

QueryParameters::QueryParameters(std::vector<QByteArray> values) : m_values(std::move(values))
{
    m_lengths.reserve(m_values.size());
    for (const QByteArray& value : m_values)
        m_lengths.push_back(SQLLEN(value.size()));
}

bool QueryParameters::Bind(SQLHSTMT statement, SQLUSMALLINT first)
{
    for (size_t i = 0; i < m_values.size(); ++i) {
        QByteArray& value = m_values[i];
        const SQLRETURN rc = SQLBindParameter(statement, SQLUSMALLINT(first + i), SQL_PARAM_INPUT, SQL_C_CHAR,
                                              SQL_VARCHAR, SQLULEN(qMax<qsizetype>(value.size(), 1)), 0,
                                              value.data(), SQLLEN(value.size()), &m_lengths[i]);
        if (!IsSuccess(rc))
            return false;
    }
    return true;
}

} // namespace velkaro

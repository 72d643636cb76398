#pragma once

#include <QByteArray>
#include <sql.h>
#include <vector>

namespace velkaro {

// Text parameters of a data query, bound as character data. The values and their lengths stay
// here, where the driver reads them, for as long as the statement may execute.
class QueryParameters final
{
public:
    QueryParameters() = default;
    explicit QueryParameters(std::vector<QByteArray> values);
    QueryParameters(const QueryParameters&) = delete;
    QueryParameters& operator=(const QueryParameters&) = delete;

    int Count() const { return int(m_values.size()); }
    // Binds them as parameters first, first + 1, ... of the statement.
    bool Bind(SQLHSTMT statement, SQLUSMALLINT first = 1);

private:
    std::vector<QByteArray> m_values;
    std::vector<SQLLEN> m_lengths;
};

} // namespace velkaro

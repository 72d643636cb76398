#pragma once

#include <sql.h>

namespace velkaro {

// An ODBC call succeeded; a warning (SQL_SUCCESS_WITH_INFO) is a success.
inline bool IsSuccess(SQLRETURN returnCode)
{
    return returnCode == SQL_SUCCESS || returnCode == SQL_SUCCESS_WITH_INFO;
}

} // namespace velkaro

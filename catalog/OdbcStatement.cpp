#include "catalog/OdbcStatement.h"

#include "catalog/StatementCancel.h"
#include "common/OdbcSuccess.h"

#include <cstring>
#include <sqlext.h>

namespace velkaro {

namespace {

constexpr int initialBufferSize = 256;

} // namespace

OdbcStatement::OdbcStatement(SQLHDBC hdbc, StatementCancel* cancel)
    : m_cancel(cancel), m_buffer(initialBufferSize, '\0')
{
    if (!IsSuccess(SQLAllocStmt(hdbc, &m_handle)))
        m_handle = SQL_NULL_HSTMT;
}

OdbcStatement::~OdbcStatement()
{
    if (m_handle != SQL_NULL_HSTMT)
        SQLFreeStmt(m_handle, SQL_DROP);
}

SQLRETURN OdbcStatement::Fetch()
{
    return StatementCancel::Run(m_cancel, m_handle, [this] { return SQLFetch(m_handle); });
}

SQLRETURN OdbcStatement::Call(const std::function<SQLRETURN()>& catalogCall)
{
    return StatementCancel::Run(m_cancel, m_handle, catalogCall);
}

void OdbcStatement::CloseCursor()
{
    SQLFreeStmt(m_handle, SQL_CLOSE);
}

QString OdbcStatement::Text(SQLUSMALLINT column)
{
    QByteArray value;
    for (;;) {
        SQLLEN indicator = 0;
        const SQLRETURN rc =
            SQLGetData(m_handle, column, SQL_C_CHAR, m_buffer.data(), m_buffer.size(), &indicator);
        if (!IsSuccess(rc) || indicator == SQL_NULL_DATA)
            break;
        const qsizetype capacity = m_buffer.size() - 1;
        const qsizetype piece = qstrnlen(m_buffer.constData(), capacity);
        value.append(m_buffer.constData(), piece);
        if (rc == SQL_SUCCESS || piece < capacity)
            break;
        // Truncated: the rest follows in the next call; grow so that it usually fits at once.
        if (indicator != SQL_NO_TOTAL && indicator > capacity)
            m_buffer.resize(indicator - capacity + 1);
    }
    return QString::fromUtf8(value);
}

std::optional<int> OdbcStatement::Number(SQLUSMALLINT column)
{
    SQLINTEGER value = 0;
    SQLLEN indicator = 0;
    const SQLRETURN rc = SQLGetData(m_handle, column, SQL_C_SLONG, &value, sizeof value, &indicator);
    if (!IsSuccess(rc) || indicator == SQL_NULL_DATA)
        return std::nullopt;
    return static_cast<int>(value);
}

SQLCHAR* OdbcStatement::Argument(QByteArray& value)
{
    return value.isEmpty() ? nullptr : reinterpret_cast<SQLCHAR*>(value.data());
}

SQLSMALLINT OdbcStatement::ArgumentLength(const QByteArray& value)
{
    return value.isEmpty() ? 0 : SQL_NTS;
}

} // namespace velkaro

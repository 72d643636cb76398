#include "catalog/StatementCancel.h"

#include <sqlext.h>

namespace velkaro {

StatementCancel::~StatementCancel()
{
    detach();
}

void StatementCancel::attach(SQLHDBC hdbc, bool throughIdleStatement)
{
    detach();
    if (throughIdleStatement && !SQL_SUCCEEDED(SQLAllocStmt(hdbc, &m_idle)))
        m_idle = SQL_NULL_HSTMT;
}

void StatementCancel::detach()
{
    if (m_idle != SQL_NULL_HSTMT)
        SQLFreeStmt(m_idle, SQL_DROP);
    m_idle = SQL_NULL_HSTMT;
}

void StatementCancel::begin()
{
    const std::lock_guard lock(m_mutex);
    m_armed = true;
    m_stopped = false;
}

void StatementCancel::end()
{
    const std::lock_guard lock(m_mutex);
    m_armed = false;
    m_stopped = false;
}

void StatementCancel::cancel()
{
    const std::lock_guard lock(m_mutex);
    cancelLocked();
}

void StatementCancel::stop()
{
    const std::lock_guard lock(m_mutex);
    m_stopped = m_armed;
    cancelLocked();
}

void StatementCancel::cancelLocked()
{
    if (m_current == SQL_NULL_HSTMT)
        return;
    SQLCancel(m_idle != SQL_NULL_HSTMT ? m_idle : m_current);
}

bool StatementCancel::enter(SQLHSTMT statement)
{
    const std::lock_guard lock(m_mutex);
    if (m_stopped)
        return false;
    m_current = statement;
    return true;
}

// Waits for a SQLCancel still running on the statement.
void StatementCancel::leave()
{
    const std::lock_guard lock(m_mutex);
    m_current = SQL_NULL_HSTMT;
}

} // namespace velkaro

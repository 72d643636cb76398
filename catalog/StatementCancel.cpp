#include "catalog/StatementCancel.h"

#include <sqlext.h>

namespace velkaro {

StatementCancel::~StatementCancel()
{
    Detach();
}

void StatementCancel::Attach(SQLHDBC hdbc, bool throughIdleStatement)
{
    Detach();
    if (throughIdleStatement && !SQL_SUCCEEDED(SQLAllocStmt(hdbc, &m_idle)))
        m_idle = SQL_NULL_HSTMT;
}

void StatementCancel::Detach()
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

void StatementCancel::Cancel()
{
    const std::lock_guard lock(m_mutex);
    CancelLocked();
}

void StatementCancel::Stop()
{
    const std::lock_guard lock(m_mutex);
    m_stopped = m_armed;
    CancelLocked();
}

void StatementCancel::CancelLocked()
{
    if (m_current == SQL_NULL_HSTMT)
        return;
    SQLCancel(m_idle != SQL_NULL_HSTMT ? m_idle : m_current);
}

bool StatementCancel::Enter(SQLHSTMT statement)
{
    const std::lock_guard lock(m_mutex);
    if (m_stopped)
        return false;
    m_current = statement;
    return true;
}

// Waits for a SQLCancel still running on the statement.
void StatementCancel::Leave()
{
    const std::lock_guard lock(m_mutex);
    m_current = SQL_NULL_HSTMT;
}

} // namespace velkaro

#pragma once

#include "common/VectorState.h"

#include <atomic>
#include <mutex>
#include <sql.h>

namespace velkaro {

// Lets another thread cancel the call a worker is making on a connection, with SQLCancel. The
// worker brackets every call that can wait on the server (an execute, a catalog call, a fetch)
// with run(); cancel() calls SQLCancel only inside such a bracket and under the lock that the
// bracket's end takes, so the statement is never freed, nor used by another call, while SQLCancel
// runs on it. Between begin() and end() a stop also refuses every later call.
class StatementCancel final
{
public:
    StatementCancel() = default;
    ~StatementCancel();
    StatementCancel(const StatementCancel&) = delete;
    StatementCancel& operator=(const StatementCancel&) = delete;

    // After connecting. The SQLite driver closes the statement it cancels without a lock of its
    // own, under the worker; its cancel interrupts the whole connection, so there an idle statement
    // of the same connection is cancelled instead.
    void Attach(SQLHDBC hdbc, bool throughIdleStatement);
    // Before the connection goes.
    void Detach();

    // A run begins and ends: stop() is remembered in between.
    void begin();
    void end();

    // From any thread: the call in progress, if one.
    void Cancel();
    // The same, and every later call is refused until end().
    void Stop();

    // The call on the statement, or SQL_ERROR without calling once stopped. A null canceller
    // makes the plain call.
    template <typename Call>
    static SQLRETURN Run(StatementCancel* cancel, SQLHSTMT statement, const Call& call)
    {
        ClearUpperVectorState();
        if (!cancel)
            return call();
        if (!cancel->Enter(statement))
            return SQL_ERROR;
        const SQLRETURN rc = call();
        cancel->Leave();
        return rc;
    }

private:
    bool Enter(SQLHSTMT statement);
    void Leave();
    void CancelLocked();

    std::mutex m_mutex;
    SQLHSTMT m_current = SQL_NULL_HSTMT; // guarded by m_mutex
    SQLHSTMT m_idle = SQL_NULL_HSTMT;    // set before any worker starts
    bool m_armed = false;                // guarded by m_mutex
    bool m_stopped = false;              // guarded by m_mutex
};

} // namespace velkaro

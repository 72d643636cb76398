#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>
#include <sql.h>

namespace velkaro {

class StatementCancel;

// One statement handle, dropped on every way out of the scope that made it.
// Result columns are read by position with SQLGetData, in ascending order, so that a value of any
// length arrives whole and a NULL reads as empty (or as no number).
class OdbcStatement final
{
public:
    // With a canceller, the catalog calls made through call() and every fetch can be cancelled.
    explicit OdbcStatement(SQLHDBC hdbc, StatementCancel* cancel = nullptr);
    ~OdbcStatement();
    OdbcStatement(const OdbcStatement&) = delete;
    OdbcStatement& operator=(const OdbcStatement&) = delete;

    bool IsValid() const { return m_handle != SQL_NULL_HSTMT; }
    SQLHSTMT Handle() const { return m_handle; }

    SQLRETURN Fetch();
    // A catalog call on the handle (SQLTables, SQLColumns ...).
    SQLRETURN Call(const std::function<SQLRETURN()>& catalogCall);
    // Closes the open result so the handle can run another catalog call.
    void CloseCursor();

    QString Text(SQLUSMALLINT column);
    std::optional<int> Number(SQLUSMALLINT column);
    int NumberOr(SQLUSMALLINT column, int whenNull) { return Number(column).value_or(whenNull); }

    // A name argument of a catalog call: null with length 0 when empty ("not given").
    static SQLCHAR* Argument(QByteArray& value);
    static SQLSMALLINT ArgumentLength(const QByteArray& value);

private:
    SQLHSTMT m_handle = SQL_NULL_HSTMT;
    StatementCancel* m_cancel = nullptr;
    QByteArray m_buffer;
};

} // namespace velkaro

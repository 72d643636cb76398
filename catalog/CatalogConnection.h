#pragma once

#include "common/OdbcSuccess.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <sql.h>

namespace velkaro {

class StatementCancel;

// What the catalog retrieval needs of a connected session: the connection, the login's owner
// name, and the session's way of turning a statement's diagnostic into a log entry or a message.
class CatalogConnection final
{
public:
    using ErrorReporter = std::function<void(SQLHSTMT statement, bool showMessage)>;

    CatalogConnection(SQLHDBC hdbc, QString uid, ErrorReporter reportError,
                      StatementCancel* cancel = nullptr);

    SQLHDBC Hdbc() const { return m_hdbc; }
    const QString& Uid() const { return m_uid; }
    // What cancels the search program's catalog calls; null for the explorer's.
    StatementCancel* GetStatementCancel() const { return m_cancel; }
    void ReportError(SQLHSTMT statement, bool showMessage = false) const;

    // A name made safe for a pattern argument (SQLTables, SQLColumns): "_" and "%" match themselves
    // only when escaped with the driver's search pattern escape.
    QByteArray Pattern(const QString& name) const;

private:
    SQLHDBC m_hdbc;
    QString m_uid;
    ErrorReporter m_reportError;
    StatementCancel* m_cancel;
    QString m_escape;
};

} // namespace velkaro

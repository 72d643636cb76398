#include "catalog/CatalogConnection.h"

#include <sqlext.h>
#include <utility>

namespace velkaro {

namespace {

QString searchPatternEscape(SQLHDBC hdbc)
{
    char escape[16] = {};
    SQLSMALLINT length = 0;
    if (!IsSuccess(SQLGetInfo(hdbc, SQL_SEARCH_PATTERN_ESCAPE, escape, sizeof escape, &length)))
        return QString();
    return QString::fromUtf8(escape);
}

} // namespace

CatalogConnection::CatalogConnection(SQLHDBC hdbc, QString uid, ErrorReporter reportError,
                                     StatementCancel* cancel)
    : m_hdbc(hdbc), m_uid(std::move(uid)), m_reportError(std::move(reportError)), m_cancel(cancel),
      m_escape(searchPatternEscape(hdbc))
{}

void CatalogConnection::ReportError(SQLHSTMT statement, bool showMessage) const
{
    if (m_reportError)
        m_reportError(statement, showMessage);
}

QByteArray CatalogConnection::Pattern(const QString& name) const
{
    if (m_escape.isEmpty())
        return name.toUtf8();
    QString escaped;
    escaped.reserve(name.size() + 4);
    for (const QChar c : name) {
        if (c == QLatin1Char('_') || c == QLatin1Char('%') || m_escape.startsWith(c))
            escaped += m_escape;
        escaped += c;
    }
    return escaped.toUtf8();
}

} // namespace velkaro

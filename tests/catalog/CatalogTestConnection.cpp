#include "CatalogTestConnection.h"

#include "TestDataSources.h"
#include "common/ActivityLogSink.h"

#include <sqlext.h>

namespace velkaro::test {

namespace {

QString uidOf(const QString& connectString)
{
    const qsizetype at = connectString.indexOf(QLatin1String("UID="));
    return at < 0 ? QString() : connectString.mid(at + 4).section(QLatin1Char(';'), 0, 0).toUpper();
}

} // namespace

CatalogTestConnection::CatalogTestConnection(const TestDataSource& source, ActivityLogSink& log)
{
    SQLAllocEnv(&m_henv);
    SQLAllocConnect(m_henv, &m_hdbc);
    QByteArray in = source.connectString.toUtf8();
    m_open = IsSuccess(SQLDriverConnect(m_hdbc, nullptr, reinterpret_cast<SQLCHAR*>(in.data()), SQL_NTS,
                                        nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT));
    auto report = [this, &log](SQLHSTMT statement, bool) {
        SQLCHAR state[6] = {};
        SQLCHAR text[200] = {};
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        SQLError(m_henv, m_hdbc, statement, state, &native, text, sizeof text, &length);
        const QString message = QString::fromUtf8(reinterpret_cast<const char*>(text));
        if (!message.isEmpty())
            log.WriteLog(QStringLiteral("ERROR: ") + message);
    };
    m_catalog = std::make_unique<CatalogConnection>(m_hdbc, uidOf(source.connectString), report);
}

CatalogTestConnection::~CatalogTestConnection()
{
    m_catalog.reset();
    if (m_open)
        SQLDisconnect(m_hdbc);
    SQLFreeConnect(m_hdbc);
    SQLFreeEnv(m_henv);
}

QString CatalogTestConnection::userName() const
{
    char name[256] = {};
    SQLSMALLINT length = 0;
    SQLGetInfo(m_hdbc, SQL_USER_NAME, name, sizeof name, &length);
    return QString::fromUtf8(name);
}

} // namespace velkaro::test

#pragma once

#include "catalog/CatalogConnection.h"

#include <QString>
#include <memory>
#include <sql.h>

namespace velkaro {
class ActivityLogSink;
}

namespace velkaro::test {

struct TestDataSource;

// A bare ODBC 2 connection to one sample data source, for driving the catalog classes directly.
// Errors reported through it become "ERROR: " log lines, as the session writes them.
class CatalogTestConnection final
{
public:
    CatalogTestConnection(const TestDataSource& source, ActivityLogSink& log);
    ~CatalogTestConnection();
    CatalogTestConnection(const CatalogTestConnection&) = delete;
    CatalogTestConnection& operator=(const CatalogTestConnection&) = delete;

    bool isOpen() const { return m_open; }
    const CatalogConnection& catalog() const { return *m_catalog; }
    SQLHDBC hdbc() const { return m_hdbc; }
    // SQL_USER_NAME, as the search program's session reads it.
    QString userName() const;

private:
    SQLHENV m_henv = SQL_NULL_HENV;
    SQLHDBC m_hdbc = SQL_NULL_HDBC;
    bool m_open = false;
    std::unique_ptr<CatalogConnection> m_catalog;
};

} // namespace velkaro::test

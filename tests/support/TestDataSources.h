#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace velkaro::test {

// One of the three sample data sources written by tests/datasources/datasources.sh.
struct TestDataSource
{
    QString key;           // "sqlite", "postgres", "mariadb": for test row names
    QString dsn;           // "ShopSQLite", ...
    QString connectString; // complete, with the test password where the source needs one
    bool needsServer;
};

const QList<TestDataSource>& testDataSources();
const TestDataSource& testDataSource(const QString& key);

// Empty when a bare ODBC connection to the source succeeds, otherwise why not.
QString unavailableReason(const TestDataSource& source);

// The test server's superuser over its socket, which may lock the server's own catalog; empty
// when the server was not started by datasources.sh.
QString postgresSuperuserConnectString();
// psql's arguments for the same login; empty likewise.
QStringList postgresSuperuserPsqlArguments();

// True in CI, where every source must be live and a missing one is a failure.
bool requireAllDataSources();

} // namespace velkaro::test

// Skips the current test on a developer's machine when the source cannot be reached; fails in CI.
#define VELKARO_REQUIRE_DATA_SOURCE(source)                                                                  \
    do {                                                                                                     \
        const QString velkaroWhy = velkaro::test::unavailableReason(source);                                 \
        if (!velkaroWhy.isEmpty()) {                                                                         \
            if (velkaro::test::requireAllDataSources())                                                      \
                QFAIL(qPrintable(velkaroWhy));                                                               \
            QSKIP(qPrintable(velkaroWhy));                                                                   \
        }                                                                                                    \
    } while (false)

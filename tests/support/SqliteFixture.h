#pragma once

#include <QByteArray>
#include <QString>

namespace velkaro::test {

// Writes a SQLite database file from SQL with the sqlite3 shell; false when the shell failed.
bool buildSqliteFile(const QString& path, const QByteArray& script, int timeoutMs = 600000);

// The connect string of such a file through the test configuration's SQLite driver.
QString sqliteFileConnectString(const QString& path);

} // namespace velkaro::test

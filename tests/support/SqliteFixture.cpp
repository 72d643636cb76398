#include "SqliteFixture.h"

#include <QProcess>

namespace velkaro::test {

bool buildSqliteFile(const QString& path, const QByteArray& script, int timeoutMs)
{
    QProcess shell;
    shell.start(QStringLiteral("sqlite3"), {path});
    if (!shell.waitForStarted())
        return false;
    shell.write(script);
    shell.closeWriteChannel();
    return shell.waitForFinished(timeoutMs) && shell.exitStatus() == QProcess::NormalExit &&
           shell.exitCode() == 0;
}

QString sqliteFileConnectString(const QString& path)
{
    return QStringLiteral("DRIVER=SQLite3;Database=") + path;
}

} // namespace velkaro::test

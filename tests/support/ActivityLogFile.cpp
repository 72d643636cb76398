#include "ActivityLogFile.h"

#include <QFile>
#include <QRegularExpression>

namespace velkaro::test {

namespace {
const QRegularExpression kStamped(QStringLiteral("^<(\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d)> (.*)$"));
} // namespace

QStringList activityLogMessages(const QString& path)
{
    QFile file(path);
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    if (bytes.isEmpty())
        return {};
    if (!bytes.endsWith("\r\n"))
        return {QStringLiteral("<no CR LF at the end>")};
    QStringList result;
    for (const QString& line : QString::fromUtf8(bytes.chopped(2)).split(QStringLiteral("\r\n"))) {
        const QRegularExpressionMatch match = kStamped.match(line);
        result.append(match.hasMatch() ? match.captured(2) : QStringLiteral("<unstamped> ") + line);
    }
    return result;
}

QString activityLogStamp(const QString& line)
{
    return kStamped.match(line).captured(1);
}

} // namespace velkaro::test

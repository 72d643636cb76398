#pragma once

#include <QString>
#include <QStringList>

namespace velkaro::test {

// The messages of an activity log file, each line's "<MM/DD/YYYY hh:mm:ss> " stamp checked and
// taken off. A line without a stamp comes back as "<unstamped> line"; a file whose last line does
// not end in CR LF (not written whole, or written by something else) comes back as the single
// entry "<no CR LF at the end>". A missing or empty file has no messages.
QStringList activityLogMessages(const QString& path);

// The stamp of one stamped log line ("MM/DD/YYYY hh:mm:ss"), or an empty string.
QString activityLogStamp(const QString& line);

} // namespace velkaro::test

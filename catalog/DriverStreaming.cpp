#include "catalog/DriverStreaming.h"

#include "catalog/ConnectString.h"

#include <QStringList>

namespace velkaro {

namespace {

// The library's file name without directory, "lib" prefix and suffix, in lower case.
QString libraryStem(const QString& driverName)
{
    QString stem = driverName.section(QLatin1Char('/'), -1).section(QLatin1Char('\\'), -1).toLower();
    stem = stem.section(QLatin1Char('.'), 0, 0);
    if (stem.startsWith(QLatin1String("lib")))
        stem.remove(0, 3);
    return stem;
}

// MariaDB Connector/ODBC streams from 3.1.17 on; older versions cache every result whatever the
// options say.
const int kFirstStreamingMariaDb = DriverStreaming::VersionNumber(QStringLiteral("3.1.17"));

QString withAttributes(const QString& connectString, const QList<QPair<QString, QString>>& attributes)
{
    QString text = connectString;
    for (const auto& [keyword, value] : attributes)
        text = ConnectString::WithAttribute(text, keyword, value);
    return text;
}

} // namespace

int DriverStreaming::VersionNumber(const QString& version)
{
    const QStringList parts = version.trimmed().split(QLatin1Char('.'));
    if (parts.size() < 2)
        return 0;
    int number = 0;
    for (qsizetype i = 0; i < 3; ++i) {
        bool ok = true;
        const int part = i < parts.size() ? parts.at(i).toInt(&ok) : 0;
        if (!ok || part < 0 || part > 9999)
            return 0;
        number = number * 10000 + part;
    }
    return number;
}

DriverStreaming DriverStreaming::For(const QString& driverName, const QString& driverVersion)
{
    DriverStreaming streaming;
    const QString stem = libraryStem(driverName);
    if (stem == QLatin1String("psqlodbca") || stem == QLatin1String("psqlodbcw")) {
        // A server cursor, read kFetchRows rows per round trip.
        streaming.m_reading = RowReading::Streamed;
        streaming.m_attributes = {{QStringLiteral("UseDeclareFetch"), QStringLiteral("1")},
                                  {QStringLiteral("Fetch"), QString::number(kFetchRows)}};
        streaming.m_rowsPerFetch = kRowArrayRows;
        streaming.m_unstreamedAttributes = {{QStringLiteral("UseDeclareFetch"), QStringLiteral("0")}};
        // With synchronized scans, a scan of a big table may begin where another one is, or where
        // one cut short left off; without them, every scan returns the rows in the table's own
        // order, run after run, which the filter's probe relies on.
        streaming.m_sessionStatements = {QStringLiteral("set synchronize_seqscans = off")};
    } else if (stem == QLatin1String("sqlite3odbc")) {
        // sqlite3_step row by row instead of the whole result at execute.
        streaming.m_reading = RowReading::Streamed;
        streaming.m_attributes = {{QStringLiteral("StepAPI"), QStringLiteral("1")}};
    } else if (stem == QLatin1String("maodbc")) {
        const int version = VersionNumber(driverVersion);
        if (version >= kFirstStreamingMariaDb) {
            // Takes effect with forward-only cursors, which the data queries use.
            streaming.m_reading = RowReading::Streamed;
            streaming.m_attributes = {{QStringLiteral("NO_CACHE"), QStringLiteral("1")}};
        } else if (version > 0) {
            // The chunks' key values then reach the server in the driver's escaped text, and the
            // rows come back in the text protocol as a plain query's do.
            streaming.m_reading = RowReading::KeyChunks;
            streaming.m_attributes = {{QStringLiteral("NO_SSPS"), QStringLiteral("1")}};
        }
    }
    return streaming;
}

QString DriverStreaming::AppliedTo(const QString& connectString) const
{
    return withAttributes(connectString, m_attributes);
}

QString DriverStreaming::UnstreamedAppliedTo(const QString& connectString) const
{
    return withAttributes(connectString, m_unstreamedAttributes);
}

} // namespace velkaro

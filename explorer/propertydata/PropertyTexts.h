#pragma once

#include <QString>

namespace velkaro {

// The fixed texts the property pages show in place of values.
struct PropertyTexts
{
    static const QString kNotCalculated; // "Not Calculated..."
    static const QString kPleaseWait;    // "Please wait..."
    static const QString kDatabaseInUse; // "N/A (database in use)"
    static const QString kNotAvailable;  // "N/A"
    static const QString kTimeFormat;    // QDateTime format of "%m/%d/%Y %H:%M:%S"

    // A statistic in decimal, "N/A" when negative (not reported).
    static QString Statistic(int value);
    // Seconds since the epoch in local time, as the pages show times.
    static QString Time(qint64 secondsSinceEpoch);
};

} // namespace velkaro

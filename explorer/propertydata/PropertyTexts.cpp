#include "explorer/propertydata/PropertyTexts.h"

#include <QDateTime>

namespace velkaro {

const QString PropertyTexts::kNotCalculated = QStringLiteral("Not Calculated...");
const QString PropertyTexts::kPleaseWait = QStringLiteral("Please wait...");
const QString PropertyTexts::kDatabaseInUse = QStringLiteral("N/A (database in use)");
const QString PropertyTexts::kNotAvailable = QStringLiteral("N/A");
const QString PropertyTexts::kTimeFormat = QStringLiteral("MM/dd/yyyy HH:mm:ss");

QString PropertyTexts::Statistic(int value)
{
    return value < 0 ? kNotAvailable : QString::number(value);
}

QString PropertyTexts::Time(qint64 secondsSinceEpoch)
{
    return QDateTime::fromSecsSinceEpoch(secondsSinceEpoch).toString(kTimeFormat);
}

} // namespace velkaro

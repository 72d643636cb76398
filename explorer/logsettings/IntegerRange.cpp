#include "explorer/logsettings/IntegerRange.h"

namespace velkaro {

std::optional<int> IntegerRange::Parse(const QString& text) const
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < minimum || value > maximum)
        return std::nullopt;
    return value;
}

QString IntegerRange::Message() const
{
    return QStringLiteral("Please enter an integer between %1 and %2.").arg(minimum).arg(maximum);
}

} // namespace velkaro

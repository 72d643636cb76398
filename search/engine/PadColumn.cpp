#include "search/engine/PadColumn.h"

namespace velkaro {

QString PadColumn(const QString& text, int width, bool truncate)
{
    if (text.size() <= width)
        return text + QString(width - text.size(), QLatin1Char(' '));
    return truncate ? text.left(qMax(width, 0)) : text;
}

} // namespace velkaro

#include "explorer/reports/ReportText.h"

namespace velkaro::ReportText {

namespace {
int characterCount(const QString& text)
{
    // A character outside the basic plane is two UTF-16 units but one column.
    int count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!text.at(i).isLowSurrogate())
            ++count;
    }
    return count;
}
} // namespace

QString PadRight(const QString& text, int width)
{
    const int missing = width - characterCount(text);
    return missing > 0 ? text + QString(missing, QLatin1Char(' ')) : text;
}

QString TypeLine(const QString& type)
{
    QString line = type.toLower();
    if (!line.isEmpty())
        line[0] = line.at(0).toUpper();
    return line + QLatin1Char(':');
}

QString Indent(int blanks)
{
    return QString(blanks, QLatin1Char(' '));
}

} // namespace velkaro::ReportText

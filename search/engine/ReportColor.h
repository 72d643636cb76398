#pragma once

#include <QColor>
#include <QString>

namespace velkaro {

enum class ReportColor
{
    Text,     // names, values, data rows
    Message,  // notices, errors, the end line
    Heading,  // section titles, labels, column header lines
    Instance, // each occurrence of a search term; every write in it counts one instance
    Black     // the title of the list of not processed objects
};

QColor ReportColorRgb(ReportColor color);

// One run of report text in one colour.
struct ReportPiece
{
    QString text;
    ReportColor color = ReportColor::Text;
    bool bold = false;
};

} // namespace velkaro

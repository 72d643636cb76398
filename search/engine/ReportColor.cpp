#include "search/engine/ReportColor.h"

namespace velkaro {

QColor ReportColorRgb(ReportColor color)
{
    switch (color) {
    case ReportColor::Text:
        return QColor(42, 42, 255);
    case ReportColor::Message:
        return QColor(130, 8, 54);
    case ReportColor::Heading:
        return QColor(9, 165, 46);
    case ReportColor::Instance:
        return QColor(255, 0, 0);
    case ReportColor::Black:
        break;
    }
    return QColor(0, 0, 0);
}

} // namespace velkaro

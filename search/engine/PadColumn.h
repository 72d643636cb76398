#pragma once

#include <QString>

namespace velkaro {

// A report cell: blanks up to width; a longer text is cut to width when truncate is set and left
// whole otherwise.
QString PadColumn(const QString& text, int width, bool truncate);

} // namespace velkaro

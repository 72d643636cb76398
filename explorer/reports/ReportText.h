#pragma once

#include <QString>

namespace velkaro {

// The pieces the report's lines are built from.
namespace ReportText {

// text followed by blanks up to width characters (code points, so names beyond ASCII line up);
// a longer text is kept whole.
QString PadRight(const QString& text, int width);
// "TABLE" -> "Table:", "SYSTEM TABLE" -> "System table:".
QString TypeLine(const QString& type);
// Blanks.
QString Indent(int blanks);

} // namespace ReportText

} // namespace velkaro

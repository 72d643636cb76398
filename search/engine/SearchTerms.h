#pragma once

#include <QString>
#include <QStringList>

namespace velkaro {

// The alternatives of a search string: "|" separates them, "\|" is a literal bar and a bar at
// the start of what remains is taken literally. Spaces stay as typed; no term is empty.
QStringList SplitSearchTerms(const QString& text);

// True for a text of bars and blanks only, with at least one bar: alternatives were meant and none
// was given (a bar that stands alone would otherwise be searched for as a literal bar).
bool HoldsOnlySeparators(const QString& text);
// Why such a text is refused.
QString OnlySeparatorsMessage();

// Upper case, one code point for one, so that positions found in the result are positions in
// the original text ('ß' stays 'ß' rather than growing into "SS").
QString ToUpperKeepingLength(const QString& text);

} // namespace velkaro

#pragma once

#include <QString>
#include <QStringList>

namespace velkaro {

class UserPrompt;

// True when the column is to be left out of the run. The name is upper-cased, the patterns are
// used as entered; one '%' stands for any middle part.
bool MatchesIgnoredColumn(const QStringList& patterns, const QString& columnName);

// True when the pattern holds a letter that upper-casing changes: it can match no column.
bool HoldsLowerCase(const QString& pattern);

enum class PatternAddResult
{
    NothingToAdd, // empty text
    Refused,      // more than one '%'; the user was told and the text stays in the edit box
    Added         // appended; the edit box is cleared
};

// The Columns page's Add action. A pattern with lower-case letters is added, with a warning.
PatternAddResult AddIgnoredPattern(QStringList& patterns, const QString& text, UserPrompt& prompt);

} // namespace velkaro

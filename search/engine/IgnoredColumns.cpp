#include "search/engine/IgnoredColumns.h"

#include "common/UserPrompt.h"
#include "search/engine/SearchTerms.h"

namespace velkaro {

namespace {
const QChar kExpander = QLatin1Char('%');
}

bool MatchesIgnoredColumn(const QStringList& patterns, const QString& columnName)
{
    const QString name = ToUpperKeepingLength(columnName);
    for (const QString& pattern : patterns) {
        const qsizetype k = pattern.indexOf(kExpander);
        const bool matches = k < 0 ? pattern == name
                                   : name.startsWith(QStringView(pattern).left(k)) &&
                                         name.endsWith(QStringView(pattern).mid(k + 1));
        if (matches)
            return true;
    }
    return false;
}

bool HoldsLowerCase(const QString& pattern)
{
    return pattern != ToUpperKeepingLength(pattern);
}

PatternAddResult AddIgnoredPattern(QStringList& patterns, const QString& text, UserPrompt& prompt)
{
    if (text.isEmpty())
        return PatternAddResult::NothingToAdd;
    if (text.count(kExpander) > 1) {
        prompt.ShowMessage(QStringLiteral("You can have only one expander ('%') per string"));
        return PatternAddResult::Refused;
    }
    patterns.append(text);
    if (HoldsLowerCase(text))
        prompt.ShowMessage(QStringLiteral("The pattern %1 holds lower-case letters and will match no column: "
                                          "column names are compared in capitals. Write it as %2.")
                               .arg(text, ToUpperKeepingLength(text)));
    return PatternAddResult::Added;
}

} // namespace velkaro

#pragma once

#include <QString>
#include <optional>

namespace velkaro {

// The accepted range of a number typed into a settings page.
struct IntegerRange final
{
    int minimum;
    int maximum;

    // The number in the text when it is a whole number within the range.
    std::optional<int> Parse(const QString& text) const;
    // What the user is told when parse refuses the text.
    QString Message() const;
};

inline constexpr IntegerRange kMaxDatabasesRange{1, 999};
inline constexpr IntegerRange kRefreshMinutesRange{1, 999999};

} // namespace velkaro

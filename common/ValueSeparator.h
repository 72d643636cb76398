#pragma once

#include <string_view>

namespace velkaro {

// What joins the values of one data row into the text that is searched and reported: a tab
// with a blank either side, so that neighbouring values never run together into a false match.
inline constexpr std::string_view kRowValueSeparator = " \t ";

} // namespace velkaro

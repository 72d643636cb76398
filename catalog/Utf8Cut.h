#pragma once

#include <QtGlobal>

namespace velkaro {

// A byte limit may have cut the last UTF-8 character in two; the length without that partial
// character, so it is dropped instead of turning into a replacement mark.
qsizetype CompleteUtf8Length(const char* bytes, qsizetype length);

} // namespace velkaro

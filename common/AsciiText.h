#pragma once

#include <QtGlobal>
#include <string_view>

namespace velkaro {

// Plain ASCII is every byte from 1 to 127: text that UTF-8 decodes one byte to one character and
// that a NUL does not end early.
bool IsPlainAscii(std::string_view bytes);

// The first occurrence of needle in text at or after from, or -1. With foldCase, the letters a-z
// of the text are compared as A-Z, so an upper-cased needle is found in any letter case.
qsizetype FindAscii(std::string_view text, std::string_view needle, qsizetype from, bool foldCase);

} // namespace velkaro

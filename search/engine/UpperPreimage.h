#pragma once

#include <QList>
#include <unordered_map>

namespace velkaro {

// The characters that the matcher's upper-casing (ToUpperKeepingLength) turns into a given one:
// where an upper-cased term holds 'I', a value may hold 'I', 'i' or the dotless 'ı'. Built once
// from the same mapping the matcher uses, so a server test written from it keeps every value the
// matcher would accept, whatever the server's own case folding does.
class UpperPreimage final
{
public:
    static const UpperPreimage& Instance();

    // Every code point that upper-cases to c, in ascending order; empty when none does.
    QList<char32_t> Of(char32_t c) const;
    // The matcher's upper case of one code point.
    static char32_t Upper(char32_t c);

private:
    UpperPreimage();

    // For each upper case, the other code points that map to it.
    std::unordered_map<char32_t, QList<char32_t>> m_others;
};

} // namespace velkaro

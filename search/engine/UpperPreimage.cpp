#include "search/engine/UpperPreimage.h"

#include <QChar>
#include <algorithm>

namespace velkaro {

const UpperPreimage& UpperPreimage::Instance()
{
    static const UpperPreimage table;
    return table;
}

// One code point for one: a mapping that would change the UTF-16 length is not applied.
char32_t UpperPreimage::Upper(char32_t c)
{
    const char32_t upper = QChar::toUpper(c);
    return QChar::requiresSurrogates(upper) == QChar::requiresSurrogates(c) ? upper : c;
}

UpperPreimage::UpperPreimage()
{
    for (char32_t c = 0; c <= QChar::LastValidCodePoint; ++c) {
        if (QChar::isSurrogate(c))
            continue;
        const char32_t upper = Upper(c);
        if (upper != c)
            m_others[upper].append(c);
    }
}

QList<char32_t> UpperPreimage::Of(char32_t c) const
{
    QList<char32_t> result;
    if (Upper(c) == c)
        result.append(c);
    const auto others = m_others.find(c);
    if (others != m_others.end())
        result.append(others->second);
    std::sort(result.begin(), result.end());
    return result;
}

} // namespace velkaro

#include "common/AsciiText.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

// Both run on every row a data search fetches: sixteen bytes a step where the processor has SSE2,
// the last step overlapping the one before; byte by byte elsewhere and for texts shorter than a step.
namespace velkaro {

namespace {

char UpperAscii(char c)
{
    return static_cast<unsigned char>(c - 'a') < 26 ? char(c - ('a' - 'A')) : c;
}

// Whether text[0, size) equals needle[0, size), the text's letters folded when asked.
bool EqualAscii(const char* text, const char* needle, size_t size, bool foldCase)
{
    for (size_t k = 0; k < size; ++k) {
        if ((foldCase ? UpperAscii(text[k]) : text[k]) != needle[k])
            return false;
    }
    return true;
}

#ifdef __SSE2__
__m128i UpperAscii(__m128i v)
{
    // a-z move to the 26 lowest signed byte values, which one signed comparison picks out.
    const __m128i moved = _mm_add_epi8(v, _mm_set1_epi8(char(0x80 - 'a')));
    const __m128i lower = _mm_cmplt_epi8(moved, _mm_set1_epi8(char(0x80 + 26)));
    return _mm_sub_epi8(v, _mm_and_si128(lower, _mm_set1_epi8(0x20)));
}
#endif

} // namespace

bool IsPlainAscii(std::string_view bytes)
{
    const char* data = bytes.data();
    const size_t size = bytes.size();
#ifdef __SSE2__
    if (size >= 16) {
        const __m128i one = _mm_set1_epi8(1);
        // The sign bit of v | (v - 1) is set for a NUL and for every byte from 0x80.
        const auto unplain = [one](const char* at) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
            return _mm_or_si128(v, _mm_sub_epi8(v, one));
        };
        // The last block overlaps the one before rather than leaving a tail byte by byte.
        __m128i seen = unplain(data + size - 16);
        for (size_t i = 0; i + 16 <= size; i += 16)
            seen = _mm_or_si128(seen, unplain(data + i));
        return _mm_movemask_epi8(seen) == 0;
    }
#endif
    unsigned unplain = 0;
    for (size_t i = 0; i < size; ++i)
        unplain |= static_cast<unsigned char>(data[i] - 1) >= 0x7F ? 1U : 0U;
    return unplain == 0;
}

#ifdef __SSE2__
namespace {

// The start positions from block on that hold needle's first and last byte, a bit each.
unsigned Candidates(const char* block, size_t n, __m128i first, __m128i last, bool foldCase)
{
    __m128i starts = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block));
    __m128i ends = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + n - 1));
    if (foldCase) {
        starts = UpperAscii(starts);
        ends = UpperAscii(ends);
    }
    return unsigned(
        _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(starts, first), _mm_cmpeq_epi8(ends, last))));
}

} // namespace
#endif

qsizetype FindAscii(std::string_view text, std::string_view needle, qsizetype from, bool foldCase)
{
    const size_t n = needle.size();
    if (from < 0 || size_t(from) > text.size() || n > text.size() - size_t(from))
        return -1;
    if (n == 0)
        return from;
    const char* const data = text.data();
    const size_t lastStart = text.size() - n;
    size_t i = size_t(from);
#ifdef __SSE2__
    // Sixteen start positions at once, where the text has room for them.
    if (lastStart - i >= 15) {
        const __m128i first = _mm_set1_epi8(needle.front());
        const __m128i last = _mm_set1_epi8(needle.back());
        const auto matchIn = [&](size_t block, unsigned candidates) -> qsizetype {
            for (; candidates != 0; candidates &= candidates - 1) {
                const size_t start = block + size_t(__builtin_ctz(candidates));
                if (n <= 2 || EqualAscii(data + start + 1, needle.data() + 1, n - 2, foldCase))
                    return qsizetype(start);
            }
            return -1;
        };
        for (; i + 15 <= lastStart; i += 16) {
            const qsizetype found = matchIn(i, Candidates(data + i, n, first, last, foldCase));
            if (found >= 0)
                return found;
        }
        if (i > lastStart)
            return -1;
        // The last starts in one block that overlaps those already searched, which are masked off.
        const size_t block = lastStart - 15;
        return matchIn(block, Candidates(data + block, n, first, last, foldCase) & (~0U << (i - block)));
    }
#endif
    for (; i <= lastStart; ++i) {
        if (EqualAscii(data + i, needle.data(), n, foldCase))
            return qsizetype(i);
    }
    return -1;
}

} // namespace velkaro

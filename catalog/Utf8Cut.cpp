#include "catalog/Utf8Cut.h"

namespace velkaro {

qsizetype CompleteUtf8Length(const char* bytes, qsizetype length)
{
    for (qsizetype back = 1; back <= 4 && back <= length; ++back) {
        const auto byte = static_cast<unsigned char>(bytes[length - back]);
        if ((byte & 0xC0) == 0x80)
            continue; // a continuation byte: look further back for its lead byte
        const int expected = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        if (expected > back)
            length -= back;
        break;
    }
    return length;
}

} // namespace velkaro

#include "catalog/FetchedRow.h"

#include "catalog/Utf8Cut.h"
#include "common/AsciiText.h"

#include <algorithm>
#include <cstring>
#include <sqlext.h>

namespace velkaro {

namespace {

constexpr std::string_view kValueSeparator = " \t ";

// The length of a value SQLGetData wrote: the indicator, bounded by what fits the buffer (a cut
// value). SQL_NO_TOTAL leaves only the terminating NUL to go by.
qsizetype writtenLength(const char* value, SQLLEN indicator)
{
    const SQLLEN limit = FetchedRow::kValueBytes - 1;
    if (indicator == SQL_NO_TOTAL)
        return qsizetype(strnlen(value, size_t(limit)));
    return indicator >= 0 && indicator < limit ? qsizetype(indicator) : qsizetype(limit);
}

} // namespace

void FetchedRow::Read(SQLHSTMT statement, SQLSMALLINT columns)
{
    m_columns = std::max<qsizetype>(columns, 0);
    if (qsizetype(m_values.size()) < m_columns)
        m_values.resize(size_t(m_columns));
    // Room for every value at its longest, so no value needs a check of its own. Pages the values
    // never reach are never touched.
    const qsizetype room = m_columns * (kValueBytes + qsizetype(kValueSeparator.size()));
    if (m_capacity < room) {
        m_buffer = std::make_unique_for_overwrite<char[]>(size_t(room));
        m_capacity = room;
    }
    char* const out = m_buffer.get();
    qsizetype size = 0;
    for (SQLUSMALLINT column = 1; column <= SQLUSMALLINT(m_columns); ++column) {
        if (column > 1) {
            std::memcpy(out + size, kValueSeparator.data(), kValueSeparator.size());
            size += qsizetype(kValueSeparator.size());
        }
        // Each value is written straight behind the one before: no copy per value.
        char* const slot = out + size;
        SQLLEN indicator = 0;
        const SQLRETURN rc = SQLGetData(statement, column, SQL_C_CHAR, slot, kValueBytes, &indicator);
        const bool hasValue =
            (rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO) && indicator != SQL_NULL_DATA;
        const qsizetype length = hasValue ? writtenLength(slot, indicator) : 0;
        m_values[column - 1] = {size, length};
        size += length;
    }
    m_size = size;
}

void FetchedRow::TextInto(QString& text) const
{
    text.resize(0); // keeps the capacity of the previous row
    for (qsizetype i = 0; i < m_columns; ++i) {
        if (i > 0)
            text.append(QLatin1String(kValueSeparator.data(), qsizetype(kValueSeparator.size())));
        const std::string_view value(m_buffer.get() + m_values[size_t(i)].offset,
                                     size_t(m_values[size_t(i)].length));
        if (IsPlainAscii(value)) {
            text.append(QLatin1String(value.data(), qsizetype(value.size()))); // no temporary string
            continue;
        }
        // Text has always ended at the first NUL, whatever length the driver reported.
        const qsizetype length = qsizetype(std::min(value.find('\0'), value.size()));
        text.append(QString::fromUtf8(value.data(), CompleteUtf8Length(value.data(), length)));
    }
}

} // namespace velkaro

#include "catalog/FetchedRow.h"

#include "catalog/Utf8Cut.h"
#include "common/AsciiText.h"
#include "common/OdbcSuccess.h"
#include "common/ValueSeparator.h"

#include <algorithm>
#include <cstring>
#include <sqlext.h>

namespace velkaro {

namespace {

constexpr std::string_view kValueSeparator = kRowValueSeparator;

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
    Begin(columns);
    for (SQLUSMALLINT column = 1; column <= SQLUSMALLINT(m_columns); ++column)
        ReadInto(statement, column);
}

void FetchedRow::Begin(qsizetype columns)
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
    m_size = 0;
    m_filled = 0;
}

// Each value is written straight behind the one before: no copy per value.
char* FetchedRow::NextSlot()
{
    if (m_filled > 0) {
        std::memcpy(m_buffer.get() + m_size, kValueSeparator.data(), kValueSeparator.size());
        m_size += qsizetype(kValueSeparator.size());
    }
    return m_buffer.get() + m_size;
}

void FetchedRow::EndValue(qsizetype length)
{
    m_values[size_t(m_filled)] = {m_size, length};
    m_size += length;
    ++m_filled;
}

void FetchedRow::Append(const char* bytes, qsizetype length)
{
    if (m_filled >= m_columns)
        return;
    length = std::clamp<qsizetype>(length, 0, kValueBytes - 1);
    char* const slot = NextSlot();
    if (length > 0)
        std::memcpy(slot, bytes, size_t(length));
    EndValue(length);
}

void FetchedRow::ReadInto(SQLHSTMT statement, SQLUSMALLINT column)
{
    if (m_filled >= m_columns)
        return;
    char* const slot = NextSlot();
    SQLLEN indicator = 0;
    const SQLRETURN rc = SQLGetData(statement, column, SQL_C_CHAR, slot, kValueBytes, &indicator);
    const bool hasValue = IsSuccess(rc) && indicator != SQL_NULL_DATA;
    EndValue(hasValue ? writtenLength(slot, indicator) : 0);
}

void FetchedRow::TextInto(QString& text) const
{
    text.resize(0); // keeps the capacity of the previous row
    for (qsizetype i = 0; i < m_filled; ++i) {
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

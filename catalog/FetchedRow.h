#pragma once

#include <QString>
#include <memory>
#include <sql.h>
#include <string_view>
#include <vector>

namespace velkaro {

// One row of a data query as the driver wrote it: each value read as character data, the values
// joined by " \t ". A search reads millions of rows and reports few, so the bytes are kept as they
// came and decoded only for a row that is wanted; the storage is reused from row to row.
class FetchedRow final
{
public:
    // What one value may take in the buffer, its terminating NUL included: longer values are cut.
    static constexpr SQLLEN kValueBytes = 10000;

    // Reads columns 1 to columns of the row the statement is on. A value the driver cannot give
    // reads as empty, as a NULL does.
    void Read(SQLHSTMT statement, SQLSMALLINT columns);
    // For a reader that has the values at hand: Begin, then each column's value in order, either
    // copied (Append) or written by the driver into the next slot (ReadInto).
    void Begin(qsizetype columns);
    void Append(const char* bytes, qsizetype length);
    void ReadInto(SQLHSTMT statement, SQLUSMALLINT column);

    // The values as the driver wrote them, joined by " \t ". Plain ASCII without a NUL byte is
    // already the row's text; anything else is for TextInto to decode.
    std::string_view Bytes() const { return {m_buffer.get(), size_t(m_size)}; }
    // The row's text, into text's storage: each value ends at its first NUL and loses a character
    // its cut split.
    void TextInto(QString& text) const;

private:
    char* NextSlot();
    void EndValue(qsizetype length);

    struct Value
    {
        qsizetype offset = 0;
        qsizetype length = 0;
    };

    std::unique_ptr<char[]> m_buffer;
    qsizetype m_capacity = 0;
    qsizetype m_size = 0;
    std::vector<Value> m_values; // one per column; only the first columns count
    qsizetype m_columns = 0;
    qsizetype m_filled = 0; // values written of the row being read
};

} // namespace velkaro

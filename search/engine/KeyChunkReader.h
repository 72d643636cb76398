#pragma once

#include "catalog/BoundRowReader.h"
#include "catalog/CDbSession.h"
#include "catalog/QueryParameters.h"
#include "search/engine/TableKey.h"

#include <QByteArray>
#include <QString>
#include <sql.h>
#include <vector>

namespace velkaro {

class CDbSession;
class FetchedRow;
class IdentifierQuoting;
struct SearchColumnRecord;

// Reads an object's rows in chunks ordered by a key, for a driver that holds the whole result of
// a statement in memory: each chunk starts after the last key read, so only one chunk is held at
// a time. The key columns are selected after the searched ones and read for paging only; the row
// the caller gets holds the searched columns alone. The key values are bound as parameters,
// never written into the statement.
class KeyChunkReader final
{
public:
    // What the driver may hold of one chunk, judged by the columns' display widths.
    static constexpr qsizetype kChunkBytes = 16 * 1024 * 1024;
    static constexpr int kMinChunkRows = 100;
    static constexpr int kMaxChunkRows = 50000;

    // Rows per chunk for these columns: as many as kChunkBytes holds at their widest, within the
    // bounds. A long column counts at the length the search reads of it; the driver holds its
    // whole values, so a table of long values takes more.
    static int RowsPerChunk(const std::vector<SearchColumnRecord>& columns);

    // columnList and objectName as the data statement writes them; textColumns is the number of
    // columns in columnList. A filter condition, when given, narrows every chunk; its parameters
    // come before the key's.
    KeyChunkReader(CDbSession& session, const IdentifierQuoting& quoting, TableKey key,
                   const QString& columnList, const QString& objectName, int textColumns, int chunkRows,
                   const QString& filter = {}, std::vector<QByteArray> filterParameters = {});
    ~KeyChunkReader();
    KeyChunkReader(const KeyChunkReader&) = delete;
    KeyChunkReader& operator=(const KeyChunkReader&) = delete;

    // Runs the first chunk: empty on success, else the driver's text.
    QString Execute();
    // The next row, the end of the rows, or a failure, which error() then tells.
    FetchResult FetchRow(FetchedRow& row);
    const QString& Error() const { return m_error; }

    SQLHSTMT Handle() const { return m_statement; }
    // The statement of the first chunk, and of every later one.
    const QString& FirstStatement() const { return m_firstSql; }
    const QString& NextStatement() const { return m_nextSql; }

private:
    SQLRETURN ExecuteDirect(QByteArray& sql);
    bool ReadKey();
    bool ExecuteNextChunk();
    bool BindKey();
    bool Fail();

    CDbSession& m_session;
    TableKey m_key;
    int m_textColumns;
    int m_chunkRows;
    QString m_firstSql;
    QString m_nextSql;
    SQLHSTMT m_statement = SQL_NULL_HSTMT;
    // The last row's key values, as text: read into these buffers and bound from them.
    std::vector<QByteArray> m_keyValues;
    QueryParameters m_filterParameters;
    SQLLEN m_nullTerminated = SQL_NTS; // the length of every bound key value
    bool m_bound = false;
    BoundRowReader m_boundRows;
    bool m_rowsBound = false;
    int m_rowsInChunk = 0;
    bool m_ended = false;
    QString m_error;
};

} // namespace velkaro

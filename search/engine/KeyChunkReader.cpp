#include "search/engine/KeyChunkReader.h"

#include "catalog/CDbSession.h"
#include "catalog/FetchedRow.h"
#include "catalog/SearchRecords.h"
#include "catalog/StatementCancel.h"
#include "common/OdbcSuccess.h"
#include "search/engine/IdentifierQuoting.h"

#include <QStringList>
#include <sqlext.h>

namespace velkaro {

namespace {

// Room for the longest key value taken (TableKey::kMaxTextLength characters of up to four bytes).
constexpr qsizetype kKeyValueBytes = qsizetype(TableKey::kMaxTextLength) * 4 + 1;

// Rows after the key (v1, v2, ...): k1 > v1 or (k1 = v1 and k2 > v2) or ..., which the server
// can read as one range of the key's index.
QString afterKeyCondition(const QStringList& keys)
{
    QStringList alternatives;
    for (qsizetype last = 0; last < keys.size(); ++last) {
        QStringList terms;
        for (qsizetype i = 0; i < last; ++i)
            terms.append(keys.at(i) + QStringLiteral(" = ?"));
        terms.append(keys.at(last) + QStringLiteral(" > ?"));
        alternatives.append(QLatin1Char('(') + terms.join(QStringLiteral(" and ")) + QLatin1Char(')'));
    }
    return alternatives.join(QStringLiteral(" or "));
}

} // namespace

int KeyChunkReader::RowsPerChunk(const std::vector<SearchColumnRecord>& columns)
{
    constexpr qsizetype kValueOverhead = 16; // the driver's length and pointer of each value
    qsizetype rowBytes = 0;
    for (const SearchColumnRecord& column : columns)
        rowBytes += qBound(qsizetype(1), qsizetype(column.displayWidth), qsizetype(FetchedRow::kValueBytes)) +
                    kValueOverhead;
    return int(qBound(qsizetype(kMinChunkRows), kChunkBytes / qMax(rowBytes, qsizetype(1)),
                      qsizetype(kMaxChunkRows)));
}

KeyChunkReader::KeyChunkReader(CDbSession& session, const IdentifierQuoting& quoting, TableKey key,
                               const QString& columnList, const QString& objectName, int textColumns,
                               int chunkRows, const QString& filter, std::vector<QByteArray> filterParameters)
    : m_session(session), m_key(std::move(key)), m_textColumns(textColumns), m_chunkRows(qMax(chunkRows, 1)),
      m_keyValues(m_key.columns.size(), QByteArray(kKeyValueBytes, '\0')),
      m_filterParameters(std::move(filterParameters))
{
    QStringList keys;
    for (const TableKey::Column& column : m_key.columns)
        keys.append(quoting.Quoted(column.name));
    const QString keyList = keys.join(QStringLiteral(" , "));
    const QString select = QStringLiteral("select ") + columnList + QStringLiteral(" , ") + keyList +
                           QStringLiteral(" from ") + objectName;
    const QString order =
        QStringLiteral(" order by ") + keyList + QStringLiteral(" limit ") + QString::number(m_chunkRows);
    const QString filtered =
        filter.isEmpty() ? QString() : QLatin1Char('(') + filter + QStringLiteral(") and ");
    m_firstSql = select +
                 (filter.isEmpty() ? QString() : QStringLiteral(" where (") + filter + QLatin1Char(')')) +
                 order;
    m_nextSql = select + QStringLiteral(" where ") + filtered + QLatin1Char('(') + afterKeyCondition(keys) +
                QLatin1Char(')') + order;
}

KeyChunkReader::~KeyChunkReader()
{
    if (m_statement != SQL_NULL_HSTMT)
        SQLFreeStmt(m_statement, SQL_DROP);
}

QString KeyChunkReader::Execute()
{
    if (!IsSuccess(SQLAllocStmt(m_session.Hdbc(), &m_statement))) {
        m_statement = SQL_NULL_HSTMT;
        return QStringLiteral("No statement could be allocated.");
    }
    QByteArray sql = m_firstSql.toUtf8();
    // Bound once: the bindings hold for every chunk.
    if (m_filterParameters.Bind(m_statement) && IsSuccess(ExecuteDirect(sql))) {
        // The bindings hold for every later chunk of the statement; the key stays unbound.
        // One row a fetch: the key of the row just fetched is read after it.
        m_rowsBound = m_session.BindRowColumns(m_boundRows, m_statement, SQLSMALLINT(m_textColumns), 1);
        return QString();
    }
    Fail();
    return m_error;
}

FetchResult KeyChunkReader::FetchRow(FetchedRow& row)
{
    while (!m_ended) {
        const SQLRETURN rc = StatementCancel::Run(&m_session.GetStatementCancel(), m_statement,
                                                  [this] { return SQLFetch(m_statement); });
        if (IsSuccess(rc)) {
            if (m_rowsBound)
                m_boundRows.Read(m_statement, row);
            else
                row.Read(m_statement, SQLSMALLINT(m_textColumns));
            ++m_rowsInChunk;
            return ReadKey() ? FetchResult::Row : FetchResult::Failed;
        }
        if (rc != SQL_NO_DATA) {
            Fail();
            return FetchResult::Failed;
        }
        // A chunk shorter than asked for was the last one.
        if (m_rowsInChunk < m_chunkRows) {
            m_ended = true;
            return FetchResult::End;
        }
        if (!ExecuteNextChunk())
            return FetchResult::Failed;
    }
    return m_error.isEmpty() ? FetchResult::End : FetchResult::Failed;
}

// Stop and Skip cancel a chunk that waits on the server, as they cancel any data statement.
SQLRETURN KeyChunkReader::ExecuteDirect(QByteArray& sql)
{
    return StatementCancel::Run(&m_session.GetStatementCancel(), m_statement, [this, &sql] {
        return SQLExecDirect(m_statement, reinterpret_cast<SQLCHAR*>(sql.data()), SQL_NTS);
    });
}

// The key follows the searched columns, so SQLGetData still reads in ascending column order.
bool KeyChunkReader::ReadKey()
{
    for (size_t i = 0; i < m_keyValues.size(); ++i) {
        SQLLEN indicator = 0;
        const SQLRETURN rc = SQLGetData(m_statement, SQLUSMALLINT(m_textColumns + 1 + int(i)), SQL_C_CHAR,
                                        m_keyValues[i].data(), kKeyValueBytes, &indicator);
        // A key value that does not come back whole could not mark where the next chunk starts.
        if (rc != SQL_SUCCESS || indicator < 0 || indicator >= kKeyValueBytes) {
            m_error = QStringLiteral("A key value of the row could not be read.");
            m_ended = true;
            return false;
        }
    }
    return true;
}

bool KeyChunkReader::ExecuteNextChunk()
{
    SQLFreeStmt(m_statement, SQL_CLOSE);
    if (!m_bound && !BindKey())
        return Fail();
    m_rowsInChunk = 0;
    QByteArray sql = m_nextSql.toUtf8();
    if (!IsSuccess(ExecuteDirect(sql)))
        return Fail();
    return true;
}

// Key column i stands in the condition once in every alternative from the i-th on.
bool KeyChunkReader::BindKey()
{
    SQLUSMALLINT parameter = SQLUSMALLINT(m_filterParameters.Count());
    for (size_t last = 0; last < m_key.columns.size(); ++last) {
        for (size_t i = 0; i <= last; ++i) {
            const TableKey::Column& column = m_key.columns[i];
            const SQLRETURN rc = SQLBindParameter(m_statement, ++parameter, SQL_PARAM_INPUT, SQL_C_CHAR,
                                                  column.dataType, column.size, column.digits,
                                                  m_keyValues[i].data(), kKeyValueBytes, &m_nullTerminated);
            if (!IsSuccess(rc))
                return false;
        }
    }
    m_bound = true;
    return true;
}

bool KeyChunkReader::Fail()
{
    m_ended = true;
    SQLHSTMT statement = m_statement;
    m_error = m_session.ReportError(&statement, false)
                  ? m_session.LastError()
                  : QStringLiteral("The query failed and the driver gave no reason.");
    return false;
}

} // namespace velkaro

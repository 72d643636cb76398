#include "catalog/CDbSession.h"

#include "catalog/CatalogConnection.h"
#include "catalog/ColumnLoader.h"
#include "catalog/ConnectString.h"
#include "catalog/FetchedRow.h"
#include "catalog/IndexLoader.h"
#include "catalog/KeyLoader.h"
#include "catalog/ObjectListLoader.h"
#include "catalog/QueryParameters.h"
#include "catalog/StatisticsLoader.h"
#include "catalog/Utf8Cut.h"
#include "common/ActivityLogSink.h"
#include "common/UserPrompt.h"

#include <QByteArray>
#include <climits>
#include <cstring>
#include <sqlext.h>

namespace velkaro {

namespace {

const char* const kConnectFailedMessage =
    "Could not connect to data source. Please verify that the source is "
    "available and \nall parameters are set correctly.";
const char* const kNoStatementMessage = "Cannot retrive statement information.";
const char* const kNoConnectionMessage = "Cannot retrive connection information.";
const char* const kNotConnected = "Not Connected";
const char* const kSilentQueryFailure = "The query failed and the driver gave no reason.";
const char* const kSilentFetchFailure = "Reading a row failed and the driver gave no reason.";

constexpr SQLSMALLINT kErrorBytes = 200;
constexpr SQLSMALLINT kInformationBytes = 1000;
constexpr int kFirstOutputBytes = 1024;

// Decodes a NUL-terminated UTF-8 buffer of at most size bytes.
QString fromCutUtf8(const char* bytes, std::size_t size)
{
    const auto length = static_cast<qsizetype>(strnlen(bytes, size));
    return QString::fromUtf8(bytes, CompleteUtf8Length(bytes, length));
}

bool dsnUsable(const QString& dsn)
{
    return !dsn.isEmpty() && dsn.compare(QLatin1String("DEFAULT"), Qt::CaseInsensitive) != 0;
}

QString appended(const QString& value)
{
    return value.isEmpty() ? QString() : QLatin1Char(':') + value;
}

// What the login dialog names as the target of the login.
QString dataSourceLabel(const QString& input)
{
    for (const char* keyword : {"DSN", "DRIVER"}) {
        const std::optional<QString> value = ConnectString::AttributeValue(input, QLatin1String(keyword));
        if (value && !value->isEmpty())
            return *value;
    }
    return ConnectString::WithoutPassword(input);
}

bool hasPassword(const QString& input)
{
    return ConnectString::AttributeValue(input, QStringLiteral("PWD")).has_value() ||
           ConnectString::AttributeValue(input, QStringLiteral("PASSWORD")).has_value();
}

// MariaDB refuses with 28000; psqlODBC says 08001 and names the password in its text.
bool isCredentialProblem(const QString& state, const QString& text)
{
    if (state == QLatin1String("28000"))
        return true;
    return state == QLatin1String("08001") &&
           (text.contains(QLatin1String("password"), Qt::CaseInsensitive) ||
            text.contains(QLatin1String("authentication"), Qt::CaseInsensitive));
}

} // namespace

CDbSession::CDbSession(SessionVariant variant) : m_variant(variant)
{}

CDbSession::~CDbSession()
{
    m_statementCancel.Detach();
    if (m_unstreamedConnected)
        SQLDisconnect(m_unstreamedHdbc);
    if (m_unstreamedHdbc != SQL_NULL_HDBC)
        SQLFreeConnect(m_unstreamedHdbc);
    if (m_connected)
        SQLDisconnect(m_hdbc);
    if (m_hdbc != SQL_NULL_HDBC)
        SQLFreeConnect(m_hdbc);
    if (m_henv != SQL_NULL_HENV)
        SQLFreeEnv(m_henv);
}

bool CDbSession::Connect(UserPrompt& prompt)
{
    m_prompt = &prompt;
    if (!AllocateHandles())
        return false;
    std::optional<QString> input = prompt.ChooseDataSource();
    QString output;
    if (input && ConnectWithLogin(*input, prompt, output)) {
        ReadConnection(output);
        if (ConnectForStreaming(*input)) {
            AttachCancel();
            return true;
        }
    }
    MarkFailed();
    // A refusal the user has not seen yet comes with the driver's reason; a cancel needs none.
    QString message = QString::fromUtf8(kConnectFailedMessage);
    if (!m_lastError.isEmpty())
        message += QStringLiteral("\n\n") + m_lastError;
    prompt.ShowError(message);
    return false;
}

bool CDbSession::ConnectByString(const QString& connectString, UserPrompt& prompt)
{
    m_prompt = &prompt;
    if (!AllocateHandles())
        return false;
    QString input = connectString;
    QString output;
    if (ConnectWithLogin(input, prompt, output)) {
        ReadConnection(output);
        if (ConnectForStreaming(input)) {
            AttachCancel();
            return true;
        }
    }
    MarkFailed();
    return false;
}

bool CDbSession::AllocateHandles()
{
    if (m_henv != SQL_NULL_HENV || m_connectFailed)
        return false; // a session connects once
    // ODBC 2 entry points on purpose: date and time columns then report the ODBC 2 type codes.
    const bool ready = IsSuccess(SQLAllocEnv(&m_henv)) && IsSuccess(SQLAllocConnect(m_henv, &m_hdbc)) &&
                       IsSuccess(SQLSetConnectOption(m_hdbc, SQL_ODBC_CURSORS, SQL_CUR_USE_DRIVER));
    if (!ready)
        MarkFailed(); // nobody may go on with handles that were never set up
    return ready;
}

bool CDbSession::ConnectWithLogin(QString& input, UserPrompt& prompt, QString& output)
{
    while (!DriverConnect(input, output)) {
        if (!FailureWantsLogin())
            return false;
        // A string without a password was incomplete rather than refused: the first prompt asks
        // plainly. Once a password was tried, the driver's reason says why it is asked again.
        const LoginRequest request{
            dataSourceLabel(input),
            ConnectString::AttributeValue(input, QStringLiteral("UID")).value_or(QString()),
            hasPassword(input) ? m_lastError : QString()};
        const std::optional<LoginAnswer> answer = prompt.AskLogin(request);
        if (!answer) {
            m_lastError.clear(); // cancelled, not refused
            return false;
        }
        input = ConnectString::WithCredentials(input, answer->user, answer->password);
    }
    return true;
}

bool CDbSession::DriverConnect(const QString& input, QString& output)
{
    QByteArray in = input.toUtf8();
    QByteArray out(kFirstOutputBytes, '\0');
    for (;;) {
        SQLSMALLINT needed = 0;
        // Never a window handle and never a driver prompt: unixODBC has no dialogs of its own here,
        // our dialogs have completed the string already.
        const SQLRETURN rc =
            SQLDriverConnect(m_hdbc, nullptr, reinterpret_cast<SQLCHAR*>(in.data()), SQL_NTS,
                             reinterpret_cast<SQLCHAR*>(out.data()), static_cast<SQLSMALLINT>(out.size()),
                             &needed, SQL_DRIVER_NOPROMPT);
        if (!IsSuccess(rc))
            return false;
        m_connected = true;
        if (needed < out.size() || out.size() >= SHRT_MAX) {
            output = fromCutUtf8(out.constData(), static_cast<std::size_t>(out.size()));
            return true;
        }
        // The driver cut its output string; a saved string must be whole, so connect again with
        // room for all of it.
        SQLDisconnect(m_hdbc);
        m_connected = false;
        out = QByteArray(qMin(qMax<qsizetype>(needed + 1, out.size() * 2), qsizetype(SHRT_MAX)), '\0');
    }
}

// Input is the string that connected, credentials included, so no login is asked for again. The
// connect string shown and saved stays the user's own.
bool CDbSession::ConnectForStreaming(const QString& input)
{
    if (m_variant != SessionVariant::Search)
        return true;
    const DriverStreaming streaming =
        DriverStreaming::For(Information(SQL_DRIVER_NAME), Information(SQL_DRIVER_VER));
    m_rowReading = streaming.Reading();
    m_rowsPerFetch = streaming.RowsPerFetch();
    if (!streaming.ChangesConnection())
        return true;
    // The drivers read these attributes only when they connect.
    SQLDisconnect(m_hdbc);
    m_connected = false;
    QString output;
    if (DriverConnect(streaming.AppliedTo(input), output)) {
        if (streaming.OffersUnstreamed())
            m_unstreamedInput = streaming.UnstreamedAppliedTo(input);
        for (const QString& statement : streaming.SessionStatements()) {
            SQLHSTMT handle = SQL_NULL_HSTMT;
            ExecuteQuery(handle, statement);
            CloseQuery(handle);
        }
        return true;
    }
    // A driver that refuses them still serves the data source as the user set it up.
    m_rowReading = RowReading::AsDriver;
    return DriverConnect(input, output);
}

bool CDbSession::FailureWantsLogin()
{
    m_lastError.clear();
    bool wantsLogin = false;
    for (;;) {
        SQLCHAR state[6] = {};
        SQLCHAR text[kErrorBytes] = {};
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        if (!IsSuccess(SQLError(m_henv, m_hdbc, SQL_NULL_HSTMT, state, &native, text, kErrorBytes, &length)))
            break;
        const QString message = fromCutUtf8(reinterpret_cast<const char*>(text), sizeof text);
        if (m_lastError.isEmpty())
            m_lastError = message;
        wantsLogin = wantsLogin ||
                     isCredentialProblem(QString::fromLatin1(reinterpret_cast<const char*>(state)), message);
    }
    return wantsLogin;
}

void CDbSession::MarkFailed()
{
    m_connectFailed = true;
    m_displayName = QString::fromUtf8(kNotConnected);
}

void CDbSession::ReadConnection(const QString& output)
{
    m_lastError.clear();
    m_connectString = ConnectString::WithoutPassword(output);
    m_uid = ExtractUid(m_connectString);
    m_dsn = ExtractDsn(m_connectString);
    if (!dsnUsable(m_dsn))
        m_dbq = ExtractDbq(m_connectString);
    if (m_variant == SessionVariant::Explorer) {
        m_userName = Information(SQL_USER_NAME);
        m_dbmsName = Information(SQL_DBMS_NAME);
        m_dbmsVersion = Information(SQL_DBMS_VER);
        m_serverName = Information(SQL_SERVER_NAME);
        m_odbcVersion = Information(SQL_ODBC_VER);
        m_dataSourceName = Information(SQL_DATA_SOURCE_NAME);
        m_driverName = Information(SQL_DRIVER_NAME);
        m_driverOdbcVersion = Information(SQL_DRIVER_ODBC_VER);
        m_driverVersion = Information(SQL_DRIVER_VER);
    } else {
        m_serverName = Information(SQL_SERVER_NAME);
        m_userName = Information(SQL_USER_NAME);
    }
    m_displayName = DisplayNameFor(m_variant, m_connectString, m_serverName, m_userName);
}

// Once the connection is final: connecting again for streaming frees the statements of the first.
void CDbSession::AttachCancel()
{
    const QString driver = m_driverName.isEmpty() ? Information(SQL_DRIVER_NAME) : m_driverName;
    m_statementCancel.Attach(m_hdbc, driver.contains(QLatin1String("sqlite"), Qt::CaseInsensitive));
}

QString CDbSession::Information(SQLUSMALLINT item) const
{
    char buffer[kInformationBytes] = {};
    SQLSMALLINT length = 0;
    if (!IsSuccess(SQLGetInfo(m_hdbc, item, buffer, kInformationBytes, &length)))
        return QString(); // a failed item reads as empty, never as the previous item's text
    return fromCutUtf8(buffer, sizeof buffer);
}

QString CDbSession::DisplayNameFor(SessionVariant variant, const QString& connectString,
                                   const QString& serverName, const QString& userName)
{
    const QString dsn = ExtractDsn(connectString);
    if (dsnUsable(dsn))
        return variant == SessionVariant::Explorer ? dsn : dsn + appended(serverName) + appended(userName);
    const QString dbq = ExtractDbq(connectString);
    if (!dbq.isEmpty())
        return dbq;
    if (variant == SessionVariant::Explorer) {
        const QString uid = ExtractUid(connectString);
        return uid.isEmpty() ? ConnectString::FirstAttributeValue(connectString) : uid;
    }
    if (userName.isEmpty())
        return ConnectString::FirstAttributeValue(connectString);
    return appended(serverName) + appended(userName);
}

QString CDbSession::ExtractUid(const QString& text)
{
    return ConnectString::ExtractAttribute(text, QStringLiteral("UID="));
}

QString CDbSession::ExtractDsn(const QString& text)
{
    return ConnectString::ExtractAttribute(text, QStringLiteral("DSN="));
}

QString CDbSession::ExtractDbq(const QString& text)
{
    return ConnectString::ExtractAttribute(text, QStringLiteral("DBQ="));
}

bool CDbSession::ReportError(SQLHSTMT* statement, bool showMessage)
{
    if (m_variant == SessionVariant::Explorer) {
        const char* missing = statement == nullptr      ? kNoStatementMessage
                              : m_hdbc == SQL_NULL_HDBC ? kNoConnectionMessage
                                                        : nullptr;
        if (missing) {
            if (m_prompt)
                m_prompt->ShowError(QString::fromUtf8(missing));
            return false;
        }
    }
    if (!FetchError(statement ? *statement : SQL_NULL_HSTMT))
        return false;
    if (m_variant == SessionVariant::Explorer && m_log)
        m_log->WriteLog(QStringLiteral("ERROR: ") + m_lastError);
    if (showMessage && m_prompt)
        m_prompt->ShowError(m_lastError);
    return true;
}

bool CDbSession::FetchError(SQLHSTMT statement)
{
    m_lastError.clear();
    SQLCHAR state[6] = {};
    SQLCHAR text[kErrorBytes] = {};
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    SQLError(m_henv, m_hdbc, statement, state, &native, text, kErrorBytes, &length);
    m_lastError = fromCutUtf8(reinterpret_cast<const char*>(text), sizeof text);
    return !m_lastError.isEmpty();
}

QString CDbSession::ExecuteQuery(SQLHSTMT& statement, const QString& sqlText, QueryParameters* parameters)
{
    return ExecuteOn(m_hdbc, statement, sqlText, parameters);
}

bool CDbSession::HasUnstreamedConnection()
{
    if (m_unstreamedTried)
        return m_unstreamedConnected;
    m_unstreamedTried = true;
    if (m_unstreamedInput.isEmpty() || !IsSuccess(SQLAllocConnect(m_henv, &m_unstreamedHdbc)))
        return false;
    QByteArray in = m_unstreamedInput.toUtf8();
    m_unstreamedInput.clear(); // it holds the password: kept no longer than needed
    SQLCHAR out[kFirstOutputBytes];
    SQLSMALLINT needed = 0;
    m_unstreamedConnected =
        IsSuccess(SQLDriverConnect(m_unstreamedHdbc, nullptr, reinterpret_cast<SQLCHAR*>(in.data()), SQL_NTS,
                                   out, SQLSMALLINT(sizeof out), &needed, SQL_DRIVER_NOPROMPT));
    return m_unstreamedConnected;
}

QString CDbSession::ExecuteUnstreamedQuery(SQLHSTMT& statement, const QString& sqlText)
{
    return ExecuteOn(m_unstreamedHdbc, statement, sqlText, nullptr);
}

std::optional<qint64> CDbSession::ResultRowCount(SQLHSTMT statement)
{
    SQLLEN rows = -1;
    if (!IsSuccess(SQLRowCount(statement, &rows)) || rows < 0)
        return std::nullopt;
    return qint64(rows);
}

QString CDbSession::ExecuteOn(SQLHDBC hdbc, SQLHSTMT& statement, const QString& sqlText,
                              QueryParameters* parameters)
{
    statement = SQL_NULL_HSTMT;
    SQLAllocStmt(hdbc, &statement);
    m_rowStatements.erase(statement); // nothing kept of a statement that had this handle before
    QByteArray sql = sqlText.toUtf8();
    const SQLRETURN rc = StatementCancel::Run(&m_statementCancel, statement, [&] {
        if (parameters != nullptr && !parameters->Bind(statement))
            return SQLRETURN(SQL_ERROR);
        return SQLExecDirect(statement, reinterpret_cast<SQLCHAR*>(sql.data()), SQL_NTS);
    });
    if (IsSuccess(rc))
        return QString();
    ReportError(&statement, false);
    CloseQuery(statement);
    // An empty text would read as success to the caller, who would then fetch from a dropped statement.
    return m_lastError.isEmpty() ? QString::fromUtf8(kSilentQueryFailure) : m_lastError;
}

FetchResult CDbSession::FetchRow(SQLHSTMT statement, FetchedRow& row)
{
    RowStatement& rows = GetRowStatement(statement);
    if (rows.bound && rows.reader.NextInBlock())
        return BoundRow(statement, rows.reader, row);
    const SQLRETURN rc =
        StatementCancel::Run(&m_statementCancel, statement, [statement] { return SQLFetch(statement); });
    if (IsSuccess(rc)) {
        if (!rows.bound) {
            row.Read(statement, rows.columns);
            return FetchResult::Row;
        }
        if (rows.reader.StartBlock())
            return BoundRow(statement, rows.reader, row);
        return FetchResult::End;
    }
    if (rc == SQL_NO_DATA)
        return FetchResult::End;
    return FetchFailed(statement);
}

// The column count and the bindings outlive the row: a search fetches millions of them. Each
// open query keeps its own, so queries read in turns lose no row of a block.
CDbSession::RowStatement& CDbSession::GetRowStatement(SQLHSTMT statement)
{
    std::unique_ptr<RowStatement>& rows = m_rowStatements[statement];
    if (!rows) {
        rows = std::make_unique<RowStatement>();
        SQLNumResultCols(statement, &rows->columns);
        rows->bound = BindRowColumns(rows->reader, statement, rows->columns, SQLULEN(m_rowsPerFetch));
    }
    return *rows;
}

bool CDbSession::BindRowColumns(BoundRowReader& reader, SQLHSTMT statement, SQLSMALLINT columns,
                                SQLULEN rowsPerFetch)
{
    if (!m_driverCompletesBoundValues)
        m_driverCompletesBoundValues = BoundRowReader::DriverCompletesBoundValues(m_hdbc);
    return *m_driverCompletesBoundValues && reader.Bind(statement, columns, rowsPerFetch);
}

FetchResult CDbSession::BoundRow(SQLHSTMT statement, const BoundRowReader& reader, FetchedRow& row)
{
    if (reader.RowFailed())
        return FetchFailed(statement);
    reader.Read(statement, row);
    return FetchResult::Row;
}

// A failure in the middle of the rows is no end of the table: the caller says so.
FetchResult CDbSession::FetchFailed(SQLHSTMT statement)
{
    if (!ReportError(&statement, false))
        m_lastError = QString::fromUtf8(kSilentFetchFailure);
    return FetchResult::Failed;
}

FetchResult CDbSession::FetchRowText(SQLHSTMT statement, QString& rowText)
{
    if (!m_textRow)
        m_textRow = std::make_unique<FetchedRow>();
    const FetchResult result = FetchRow(statement, *m_textRow);
    if (result == FetchResult::Row)
        m_textRow->TextInto(rowText);
    return result;
}

void CDbSession::CloseQuery(SQLHSTMT& statement)
{
    m_rowStatements.erase(statement); // a later statement may get the same handle
    if (statement != SQL_NULL_HSTMT)
        SQLFreeStmt(statement, SQL_DROP);
    statement = SQL_NULL_HSTMT;
}

// The catalog operations: thin calls into the loaders, which share one view of the connection.
const CatalogConnection& CDbSession::Catalog()
{
    std::call_once(m_catalogOnce, [this] {
        m_catalog = std::make_unique<CatalogConnection>(
            m_hdbc, m_uid,
            [this](SQLHSTMT statement, bool showMessage) { ReportError(&statement, showMessage); },
            &m_statementCancel);
    });
    return *m_catalog;
}

void CDbSession::LoadObjects(const LoadJob& job)
{
    std::lock_guard lock(m_catalogMutex);
    ObjectListLoader(Catalog(), m_model.Objects()).Load(job);
}

void CDbSession::LoadColumns(const LoadJob& job, CatalogNode objectNode, ObjectRecord& record)
{
    std::lock_guard lock(m_catalogMutex);
    ColumnLoader(Catalog()).Load(job, objectNode, record);
}

void CDbSession::LoadIndexes(const LoadJob& job, CatalogNode objectNode, ObjectRecord& record)
{
    std::lock_guard lock(m_catalogMutex);
    IndexLoader(Catalog()).Load(job, objectNode, record);
}

std::optional<TableStatistics> CDbSession::LoadTableStatistics(const QString& tableName)
{
    return LoadTableStatistics(m_model.Locate(tableName, m_uid));
}

std::vector<PrimaryKeyRecord> CDbSession::LoadPrimaryKeys(const QString& tableName)
{
    return LoadPrimaryKeys(m_model.Locate(tableName, m_uid));
}

std::vector<ReferenceRecord> CDbSession::LoadReferences(const QString& tableName, bool asReferencingTable)
{
    return LoadReferences(m_model.Locate(tableName, m_uid), asReferencingTable);
}

IndexStatistics CDbSession::LoadIndexStatistics(const QString& tableName, const QString& indexName)
{
    return LoadIndexStatistics(m_model.Locate(tableName, m_uid), indexName);
}

template <class Query> auto CDbSession::OnDemand(QString* failure, Query query)
{
    std::lock_guard lock(m_catalogMutex);
    m_lastError.clear();
    auto result = query(Catalog());
    if (failure)
        *failure = m_lastError;
    return result;
}

std::optional<TableStatistics> CDbSession::LoadTableStatistics(const ObjectName& table, QString* failure)
{
    return OnDemand(failure, [&](const CatalogConnection& catalog) {
        return StatisticsLoader(catalog).LoadTableStatistics(table);
    });
}

std::vector<PrimaryKeyRecord> CDbSession::LoadPrimaryKeys(const ObjectName& table, QString* failure)
{
    return OnDemand(
        failure, [&](const CatalogConnection& catalog) { return KeyLoader(catalog).LoadPrimaryKeys(table); });
}

std::vector<ReferenceRecord> CDbSession::LoadReferences(const ObjectName& table, bool asReferencingTable,
                                                        QString* failure)
{
    return OnDemand(failure, [&](const CatalogConnection& catalog) {
        return KeyLoader(catalog).LoadReferences(table, asReferencingTable);
    });
}

IndexStatistics CDbSession::LoadIndexStatistics(const ObjectName& table, const QString& indexName,
                                                QString* failure)
{
    return OnDemand(failure, [&](const CatalogConnection& catalog) {
        return StatisticsLoader(catalog).LoadIndexStatistics(table, indexName);
    });
}

SearchObjectListResult CDbSession::LoadSearchObjects(const SearchObjectScope& scope,
                                                     const std::function<bool()>& runStopped)
{
    std::lock_guard lock(m_catalogMutex);
    return SearchObjectListLoader(Catalog(), m_searchObjects).Load(scope, runStopped);
}

} // namespace velkaro

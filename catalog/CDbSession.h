#pragma once

#include "catalog/BoundRowReader.h"
#include "catalog/CatalogHost.h"
#include "catalog/DriverStreaming.h"
#include "catalog/SchemaModel.h"
#include "catalog/SearchObjectListLoader.h"
#include "catalog/SearchRecords.h"
#include "catalog/StatementCancel.h"
#include "common/OdbcSuccess.h"

#include <QString>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <sql.h>
#include <unordered_map>

namespace velkaro {

class ActivityLogSink;
class CatalogConnection;
class FetchedRow;
class QueryParameters;
class UserPrompt;
struct LoadJob;

// Which program a session serves: the explorer reads nine information items and logs its errors;
// the search program reads two, logs nothing and runs data queries.
enum class SessionVariant
{
    Explorer,
    Search
};

// What a fetch of a data query gave: a row, the end of the rows, or a failure (its text in
// lastError).
enum class FetchResult
{
    Row,
    End,
    Failed
};

// One connected ODBC data source with its own environment and connection handles. A session is
// connected or failed once Connect or ConnectByString has returned; it is never reconnected.
// The catalog operations below may be called from several threads: they take turns on the
// connection, and each returns its own results. The data queries are used by one thread at a time.
class CDbSession final
{
public:
    explicit CDbSession(SessionVariant variant = SessionVariant::Explorer);
    ~CDbSession();
    CDbSession(const CDbSession&) = delete;
    CDbSession& operator=(const CDbSession&) = delete;

    // Asks the prompt for a data source (and for a login when the driver wants one) and connects.
    // On cancel or failure the session is marked failed and the failure message is shown.
    bool Connect(UserPrompt& prompt);
    // The search variant then makes the driver stream the rows of data queries where it knows how
    // (see DriverStreaming), connecting a second time when the driver needs attributes for that.
    // Connects with a stored string without asking first; asks for a login only when the driver
    // refuses the credentials. A failure shows no message.
    bool ConnectByString(const QString& connectString, UserPrompt& prompt);

    // Fetches the first pending diagnostic of the statement (or of the connection when *statement is
    // null) into lastError; true when there was a text.
    bool ReportError(SQLHSTMT* statement, bool showMessage);

    static QString ExtractUid(const QString& text);
    static QString ExtractDsn(const QString& text);
    static QString ExtractDbq(const QString& text);
    static QString DisplayNameFor(SessionVariant variant, const QString& connectString,
                                  const QString& serverName, const QString& userName);

    // Data queries of the search program. ExecuteQuery returns "" with the statement open (a
    // warning is a success), or the error text with the statement dropped. Parameters, when given,
    // are bound first and must outlive the statement.
    QString ExecuteQuery(SQLHSTMT& statement, const QString& sqlText, QueryParameters* parameters = nullptr);
    // The next row (a warning still gives it), the end of the rows, or a failure with the driver's
    // text in lastError.
    FetchResult FetchRow(SQLHSTMT statement, FetchedRow& row);
    FetchResult FetchRowText(SQLHSTMT statement, QString& rowText);
    // Binds the first columns of a data query for reader where the driver can complete a bound
    // value; false when the rows are to be read value by value. rowsPerFetch comes from
    // DriverStreaming::rowsPerFetch, or is 1 where the caller reads more of each row itself.
    bool BindRowColumns(BoundRowReader& reader, SQLHSTMT statement, SQLSMALLINT columns,
                        SQLULEN rowsPerFetch);
    void CloseQuery(SQLHSTMT& statement);
    // A second connection on which the driver holds each result whole (see
    // DriverStreaming::OffersUnstreamed), for queries of a bounded number of rows; connected on the
    // first call, and only where the driver offers one. Its queries are read and closed as the
    // others, and cancelled by the same StatementCancel.
    bool HasUnstreamedConnection();
    QString ExecuteUnstreamedQuery(SQLHSTMT& statement, const QString& sqlText);
    // The rows of a result the driver holds whole; nullopt where the driver does not count them.
    static std::optional<qint64> ResultRowCount(SQLHSTMT statement);

    // How the rows of a data query arrive; AsDriver for the explorer.
    RowReading GetRowReading() const { return m_rowReading; }

    SessionVariant Variant() const { return m_variant; }
    void SetLog(ActivityLogSink* log) { m_log = log; }
    ActivityLogSink* Log() const { return m_log; }
    // Where ReportError shows its messages; Connect and ConnectByString set it.
    void SetPrompt(UserPrompt* prompt) { m_prompt = prompt; }
    UserPrompt* Prompt() const { return m_prompt; }
    // Cancels the search program's data and catalog calls from another thread.
    StatementCancel& GetStatementCancel() { return m_statementCancel; }

    bool ConnectFailed() const { return m_connectFailed; }
    const QString& DisplayName() const { return m_displayName; }
    const QString& LastError() const { return m_lastError; }
    // The driver's output connect string without any password: safe to save and to log.
    const QString& ConnectString() const { return m_connectString; }
    const QString& OdbcVersion() const { return m_odbcVersion; }
    const QString& DataSourceName() const { return m_dataSourceName; }
    const QString& ServerName() const { return m_serverName; }
    const QString& DriverVersion() const { return m_driverVersion; }
    const QString& DriverOdbcVersion() const { return m_driverOdbcVersion; }
    const QString& DriverName() const { return m_driverName; }
    const QString& Uid() const { return m_uid; }
    const QString& UserName() const { return m_userName; }
    const QString& DbmsName() const { return m_dbmsName; }
    const QString& DbmsVersion() const { return m_dbmsVersion; }
    const QString& Dbq() const { return m_dbq; }
    const QString& Dsn() const { return m_dsn; }

    SQLHENV Henv() const { return m_henv; }
    SQLHDBC Hdbc() const { return m_hdbc; }

    // The explorer's schema model. Readers take snapshots (see SchemaModel); the catalog operations
    // below rebuild it from the thread that holds the database.
    SchemaModel& Model() { return m_model; }
    const SchemaModel& Model() const { return m_model; }
    std::vector<std::shared_ptr<ObjectRecord>> Objects() const { return m_model.Objects().Snapshot(); }

    void LoadObjects(const LoadJob& job);
    void LoadColumns(const LoadJob& job, CatalogNode objectNode, ObjectRecord& record);
    void LoadIndexes(const LoadJob& job, CatalogNode objectNode, ObjectRecord& record);
    // The on-demand queries name the table as the catalog listed it (the first object of that
    // name); a name not in the model is looked for under the login's owner. Table statistics are
    // nullopt when the driver gave no table row; a failure gives no rows and goes to the log.
    std::optional<TableStatistics> LoadTableStatistics(const QString& tableName);
    std::vector<PrimaryKeyRecord> LoadPrimaryKeys(const QString& tableName);
    std::vector<ReferenceRecord> LoadReferences(const QString& tableName, bool asReferencingTable);
    IndexStatistics LoadIndexStatistics(const QString& tableName, const QString& indexName);
    // The same for an object named exactly, when two owners hold tables of one name. failure,
    // when given, receives the driver's message of a call that failed, and stays empty otherwise.
    std::optional<TableStatistics> LoadTableStatistics(const ObjectName& table, QString* failure = nullptr);
    std::vector<PrimaryKeyRecord> LoadPrimaryKeys(const ObjectName& table, QString* failure = nullptr);
    std::vector<ReferenceRecord> LoadReferences(const ObjectName& table, bool asReferencingTable,
                                                QString* failure = nullptr);
    IndexStatistics LoadIndexStatistics(const ObjectName& table, const QString& indexName,
                                        QString* failure = nullptr);

    // The search program's object list. A run passes runStopped, asked before every row; the
    // result says whether it stopped the reading.
    RecordList<SearchObjectRecord>& SearchObjects() { return m_searchObjects; }
    SearchObjectListResult LoadSearchObjects(const SearchObjectScope& scope = {},
                                             const std::function<bool()>& runStopped = {});

private:
    // What FetchRow keeps of each open data query until CloseQuery; the reader's buffers and
    // counters are bound to the statement, so they stay where they are.
    struct RowStatement
    {
        SQLSMALLINT columns = 0;
        bool bound = false;
        BoundRowReader reader;
    };
    bool AllocateHandles();
    bool ConnectWithLogin(QString& input, UserPrompt& prompt, QString& output);
    bool ConnectForStreaming(const QString& input);
    bool DriverConnect(const QString& input, QString& output);
    QString ExecuteOn(SQLHDBC hdbc, SQLHSTMT& statement, const QString& sqlText, QueryParameters* parameters);
    bool FailureWantsLogin();
    void MarkFailed();
    void ReadConnection(const QString& output);
    RowStatement& GetRowStatement(SQLHSTMT statement);
    FetchResult BoundRow(SQLHSTMT statement, const BoundRowReader& reader, FetchedRow& row);
    FetchResult FetchFailed(SQLHSTMT statement);
    void AttachCancel();
    QString Information(SQLUSMALLINT item) const;
    bool FetchError(SQLHSTMT statement);
    const CatalogConnection& Catalog();
    // Runs an on-demand query under the catalog lock; failure gets the message it reported.
    template <class Query> auto OnDemand(QString* failure, Query query);

    const SessionVariant m_variant;
    ActivityLogSink* m_log = nullptr;
    UserPrompt* m_prompt = nullptr;
    QString m_connectString;
    QString m_odbcVersion;
    QString m_dataSourceName;
    QString m_serverName;
    QString m_driverVersion;
    QString m_driverOdbcVersion;
    QString m_driverName;
    QString m_uid;
    QString m_userName;
    QString m_dbmsName;
    QString m_dbmsVersion;
    QString m_dbq;
    QString m_dsn;
    bool m_connectFailed = false;
    QString m_displayName;
    QString m_lastError;
    SQLHENV m_henv = SQL_NULL_HENV;
    SQLHDBC m_hdbc = SQL_NULL_HDBC;
    bool m_connected = false;
    // The string that connected, with the driver's unstreamed attributes; empty where there is none.
    QString m_unstreamedInput;
    SQLHDBC m_unstreamedHdbc = SQL_NULL_HDBC;
    bool m_unstreamedTried = false;
    bool m_unstreamedConnected = false;
    RowReading m_rowReading = RowReading::AsDriver;
    SchemaModel m_model;
    RecordList<SearchObjectRecord> m_searchObjects;
    std::unordered_map<SQLHSTMT, std::unique_ptr<RowStatement>> m_rowStatements;
    int m_rowsPerFetch = 1; // rows a fetch brings, where the driver is known to take a row array
    std::optional<bool> m_driverCompletesBoundValues;
    std::unique_ptr<FetchedRow> m_textRow;
    StatementCancel m_statementCancel;
    std::once_flag m_catalogOnce;
    std::unique_ptr<CatalogConnection> m_catalog;
    // Held for each catalog operation, so that callers on several threads take turns on the
    // connection and on lastError.
    std::mutex m_catalogMutex;
};

} // namespace velkaro

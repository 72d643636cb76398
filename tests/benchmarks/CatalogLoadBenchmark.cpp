// Measures what the object list retrieval adds to the bare ODBC catalog calls it makes: builds a
// catalog of 5,000 tables x 20 columns x 2 indexes on SQLite (a temporary file) and on PostgreSQL
// (a schema of its own in the test server, dropped afterwards), then loads it through the
// retrieval and through a loop of the same calls that keeps nothing, with the log categories at
// their defaults and with logging off.
//
// Run: source build/datasources/env.sh && build/tests/benchmarks/CatalogLoadBenchmark [sqlite|postgres]

#include "RecordingPrompt.h"
#include "TestDataSources.h"
#include "catalog/CatalogConnection.h"
#include "catalog/CatalogHost.h"
#include "catalog/LoadJob.h"
#include "catalog/ObjectListLoader.h"
#include "catalog/SchemaModel.h"
#include "common/VectorState.h"
#include "explorer/logsettings/ActivityLog.h"
#include "explorer/logsettings/LogSettings.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <sql.h>
#include <sqlext.h>

using namespace velkaro;

namespace {

int tableCount = 5000; // a second argument makes it smaller, for profiling
constexpr int columnCount = 20;
constexpr int rounds = 3;
const char* const benchSchema = "velkaro_bench";

// The tree pane as far as retrieval sees it, with the real activity log behind it.
class BenchmarkHost final : public CatalogHost
{
public:
    explicit BenchmarkHost(ActivityLog& log, LogSettings& settings) : m_log(log), m_settings(settings) {}
    CatalogNode InsertObjectNode(CatalogNode, const ObjectName&, const QString&) override { return this; }
    CatalogNode InsertIndexNode(CatalogNode, const QString&) override { return this; }
    void RepaintTree() override {}
    bool TerminateRequested() const override { return false; }
    CatalogSettings GetCatalogSettings() const override
    {
        // A category is only worth a message while the log is written at all.
        const bool on = m_settings.enabled.load() != 0;
        CatalogSettings settings;
        settings.lobj = on && m_settings.LOBJ.load();
        settings.lcol = on && m_settings.LCOL.load();
        settings.lind = on && m_settings.LIND.load();
        settings.lany = on && m_settings.LANY.load();
        return settings;
    }
    void WriteLog(const QString& message, bool applyOpenMode) override
    {
        m_log.WriteLog(message, applyOpenMode);
    }

private:
    ActivityLog& m_log;
    LogSettings& m_settings;
};

class Connection final
{
public:
    explicit Connection(const QString& connectString)
    {
        SQLAllocEnv(&m_henv);
        SQLAllocConnect(m_henv, &m_hdbc);
        QByteArray in = connectString.toUtf8();
        m_open = SQL_SUCCEEDED(SQLDriverConnect(m_hdbc, nullptr, reinterpret_cast<SQLCHAR*>(in.data()),
                                                SQL_NTS, nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT));
    }
    ~Connection()
    {
        if (m_open)
            SQLDisconnect(m_hdbc);
        SQLFreeConnect(m_hdbc);
        SQLFreeEnv(m_henv);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    bool isOpen() const { return m_open; }
    SQLHDBC hdbc() const { return m_hdbc; }

    bool execute(const QString& sql) const
    {
        SQLHSTMT statement = SQL_NULL_HSTMT;
        SQLAllocStmt(m_hdbc, &statement);
        QByteArray text = sql.toUtf8();
        const SQLRETURN rc = SQLExecDirect(statement, reinterpret_cast<SQLCHAR*>(text.data()), SQL_NTS);
        if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA) {
            SQLCHAR state[6] = {};
            SQLCHAR message[512] = {};
            SQLINTEGER native = 0;
            SQLSMALLINT length = 0;
            SQLError(m_henv, m_hdbc, statement, state, &native, message, sizeof message, &length);
            std::fprintf(stderr, "failed: %s\n  %s\n", qPrintable(sql.left(200)), message);
        }
        SQLFreeStmt(statement, SQL_DROP);
        return SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA;
    }

private:
    SQLHENV m_henv = SQL_NULL_HENV;
    SQLHDBC m_hdbc = SQL_NULL_HDBC;
    bool m_open = false;
};

QString columnList()
{
    static const char* const types[] = {"INTEGER", "VARCHAR(40)", "DECIMAL(10,2)", "DATE"};
    QStringList columns;
    for (int c = 0; c < columnCount; ++c)
        columns << QStringLiteral("c%1 %2%3")
                       .arg(c, 2, 10, QLatin1Char('0'))
                       .arg(types[c % 4])
                       .arg(c == 0 ? " NOT NULL" : "");
    return columns.join(QStringLiteral(", "));
}

bool buildSqlite(const Connection& db)
{
    bool ok = db.execute("BEGIN");
    for (int t = 0; ok && t < tableCount; ++t) {
        const QString table = QStringLiteral("bench_%1").arg(t, 4, 10, QLatin1Char('0'));
        ok = db.execute(QStringLiteral("CREATE TABLE %1 (%2)").arg(table, columnList())) &&
             db.execute(QStringLiteral("CREATE UNIQUE INDEX %1_ux ON %1 (c00)").arg(table)) &&
             db.execute(QStringLiteral("CREATE INDEX %1_ix ON %1 (c01, c02)").arg(table));
    }
    return ok && db.execute("COMMIT");
}

// PostgreSQL takes a lock per new or dropped relation and holds them to the end of the
// transaction, so the schema is built and dropped in batches.
bool dropPostgresSchema(const Connection& db)
{
    const QString batch =
        QStringLiteral("DO $$DECLARE r record; BEGIN FOR r IN SELECT tablename FROM pg_tables WHERE "
                       "schemaname = '%1' LIMIT 500 "
                       "LOOP EXECUTE format('DROP TABLE %1.%I', r.tablename); END LOOP; END$$");
    for (int i = 0; i <= tableCount / 500; ++i) {
        if (!db.execute(batch.arg(benchSchema)))
            return false;
    }
    return db.execute(QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(benchSchema));
}

bool buildPostgres(const Connection& db)
{
    if (!db.execute(QStringLiteral("CREATE SCHEMA %1").arg(benchSchema)))
        return false;
    const QString batch =
        QStringLiteral("DO $$BEGIN FOR t IN %1..%2 LOOP "
                       "EXECUTE format('CREATE TABLE %3.bench_%s (%4)', lpad(t::text, 4, '0')); "
                       "EXECUTE format('CREATE UNIQUE INDEX bench_%s_ux ON %3.bench_%s (c00)', lpad(t::text, "
                       "4, '0'), lpad(t::text, 4, '0')); "
                       "EXECUTE format('CREATE INDEX bench_%s_ix ON %3.bench_%s (c01, c02)', lpad(t::text, "
                       "4, '0'), lpad(t::text, 4, '0')); "
                       "END LOOP; END$$");
    for (int first = 0; first < tableCount; first += 250) {
        if (!db.execute(batch.arg(first).arg(first + 249).arg(benchSchema, columnList())))
            return false;
    }
    return true;
}

// The same catalog calls as the retrieval, each value read and dropped. Each call starts, as a
// plain program's would, without the upper vector state that Qt's string code leaves behind.
int bareLoop(const CatalogConnection& catalog)
{
    char buffer[1024];
    SQLLEN indicator = 0;
    auto read = [&](SQLHSTMT statement, SQLUSMALLINT column, SQLSMALLINT type) {
        SQLGetData(statement, column, type, buffer, sizeof buffer, &indicator);
    };
    int objects = 0;
    SQLHSTMT tables = SQL_NULL_HSTMT;
    SQLAllocStmt(catalog.Hdbc(), &tables);
    ClearUpperVectorState();
    SQLTables(tables, nullptr, 0, nullptr, 0, nullptr, 0, nullptr, 0);
    while (SQL_SUCCEEDED(SQLFetch(tables))) {
        read(tables, 1, SQL_C_CHAR);
        const QString qualifier = indicator > 0 ? QString::fromUtf8(buffer) : QString();
        read(tables, 2, SQL_C_CHAR);
        const QString owner = indicator > 0 ? QString::fromUtf8(buffer) : QString();
        read(tables, 3, SQL_C_CHAR);
        const QString name = QString::fromUtf8(buffer);
        read(tables, 4, SQL_C_CHAR);
        const bool table = std::strcmp(buffer, "TABLE") == 0;
        read(tables, 5, SQL_C_CHAR);
        ++objects;
        QByteArray q = qualifier.toUtf8(), o = catalog.Pattern(owner), n = catalog.Pattern(name);
        SQLHSTMT columns = SQL_NULL_HSTMT;
        SQLAllocStmt(catalog.Hdbc(), &columns);
        ClearUpperVectorState();
        SQLColumns(columns, q.isEmpty() ? nullptr : reinterpret_cast<SQLCHAR*>(q.data()),
                   q.isEmpty() ? 0 : SQL_NTS, o.isEmpty() ? nullptr : reinterpret_cast<SQLCHAR*>(o.data()),
                   o.isEmpty() ? 0 : SQL_NTS, reinterpret_cast<SQLCHAR*>(n.data()), SQL_NTS, nullptr, 0);
        while (SQL_SUCCEEDED(SQLFetch(columns))) {
            for (SQLUSMALLINT c : {4, 6, 12})
                read(columns, c, SQL_C_CHAR);
            for (SQLUSMALLINT c : {7, 9, 10, 11})
                read(columns, c, SQL_C_SLONG);
        }
        SQLFreeStmt(columns, SQL_DROP);
        if (!table)
            continue;
        o = owner.toUtf8();
        n = name.toUtf8();
        SQLHSTMT statistics = SQL_NULL_HSTMT;
        SQLAllocStmt(catalog.Hdbc(), &statistics);
        ClearUpperVectorState();
        SQLStatistics(statistics, q.isEmpty() ? nullptr : reinterpret_cast<SQLCHAR*>(q.data()),
                      q.isEmpty() ? 0 : SQL_NTS, o.isEmpty() ? nullptr : reinterpret_cast<SQLCHAR*>(o.data()),
                      o.isEmpty() ? 0 : SQL_NTS, reinterpret_cast<SQLCHAR*>(n.data()), SQL_NTS, SQL_INDEX_ALL,
                      SQL_ENSURE);
        while (SQL_SUCCEEDED(SQLFetch(statistics))) {
            read(statistics, 4, SQL_C_SLONG);
            read(statistics, 6, SQL_C_CHAR);
            read(statistics, 7, SQL_C_SLONG);
            read(statistics, 9, SQL_C_CHAR);
        }
        SQLFreeStmt(statistics, SQL_DROP);
    }
    SQLFreeStmt(tables, SQL_DROP);
    return objects;
}

double timed(const std::function<void()>& run)
{
    QElapsedTimer timer;
    timer.start();
    run();
    return timer.nsecsElapsed() / 1e9;
}

void measure(const char* label, const Connection& db, const QString& logBase)
{
    const CatalogConnection catalog(db.hdbc(), QString(), {});
    LogSettings settings;
    settings.fileName = logBase;
    test::RecordingPrompt prompt;
    ActivityLog log(settings, prompt);
    BenchmarkHost host(log, settings);
    SchemaModel model;
    LoadJob job;
    job.host = &host;
    job.alias = QString::fromUtf8(label);
    job.databaseNode = &host;
    job.inUse = std::make_shared<std::atomic<int>>(1);
    auto load = [&] { ObjectListLoader(catalog, model.Objects()).Load(job); };
    // Every run starts from an empty model, so that none works in a heap the one before filled.
    auto timedFromEmpty = [&](const std::function<void()>& run) {
        model.Objects().Clear();
        return timed(run);
    };

    int objects = bareLoop(catalog); // warms the server's and the driver's caches
    // Rounds alternate so that a busy machine slows all three alike; each keeps its best.
    double bare = 1e30, quiet = 1e30, logged = 1e30;
    for (int round = 0; round < rounds; ++round) {
        bare = std::min(bare, timedFromEmpty([&] { objects = bareLoop(catalog); }));
        settings.enabled = 0;
        quiet = std::min(quiet, timedFromEmpty(load));
        settings.enabled = 1;
        logged = std::min(logged, timedFromEmpty(load));
    }
    std::printf("%-10s %6d objects  bare loop %7.2f s  retrieval, logging off %7.2f s (ratio %.3f)  "
                "default log categories %7.2f s (ratio %.3f, log %lld MB)\n",
                label, objects, bare, quiet, quiet / bare, logged, logged / bare,
                QFileInfo(logBase + ".log").size() / (1024 * 1024));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString only = argc > 1 ? QString::fromUtf8(argv[1]) : QString();
    if (argc > 2)
        tableCount = std::max(1, std::atoi(argv[2]));
    QTemporaryDir dir;
    if (!dir.isValid() || qEnvironmentVariableIsEmpty("ODBCSYSINI")) {
        std::fprintf(
            stderr,
            "needs a temporary folder and the test ODBC configuration (source build/datasources/env.sh)\n");
        return 2;
    }
    int status = 0;
    if (only.isEmpty() || only == "sqlite") {
        Connection db(QStringLiteral("DRIVER=SQLite3;Database=%1").arg(dir.filePath("bench.sqlite")));
        if (db.isOpen() && buildSqlite(db))
            measure("SQLite", db, dir.filePath("sqlite-activity"));
        else
            status = 1;
    }
    if (only.isEmpty() || only == "postgres") {
        Connection db(test::testDataSource("postgres").connectString);
        if (db.isOpen() && dropPostgresSchema(db) && buildPostgres(db))
            measure("PostgreSQL", db, dir.filePath("postgres-activity"));
        else
            status = 1;
        if (db.isOpen() && !dropPostgresSchema(db))
            status = 1;
    }
    return status;
}

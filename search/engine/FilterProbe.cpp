#include "search/engine/FilterProbe.h"

#include "catalog/CDbSession.h"
#include "catalog/SearchRecords.h"
#include "search/engine/DataSelectBuilder.h"
#include "search/engine/ServerFilter.h"

#include <QString>

namespace velkaro {

FilterProbe::FilterProbe(CDbSession& session) : m_session(session)
{}

bool FilterProbe::Probeable(const SearchObjectRecord& record, const ServerFilterPlan& plan)
{
    if (!plan.Filtered() || !plan.parameters.empty())
        return false;
    if (!m_tables)
        m_tables = LoadTables();
    return m_tables->contains(NameKey(record.owner, record.name));
}

bool FilterProbe::MostRowsPass(const SearchObjectRecord& record, const DataSelect& select,
                               const ServerFilterPlan& plan)
{
    // About kSamplePages pages, whatever the size of the table, always the same ones; a table whose
    // size the server has not counted yet keeps the filter.
    const qint64 pages = m_tables ? m_tables->value(NameKey(record.owner, record.name)) : 0;
    if (pages <= 0)
        return false;
    const double percent = pages > kSamplePages ? 100.0 * kSamplePages / double(pages) : 100.0;
    const QString sql = QStringLiteral("select case when count(*) > 0 and count(*) filter (where ") +
                        plan.condition + QStringLiteral(") * 5 >= count(*) * 4 then 1 else 0 end from ") +
                        select.objectName + QStringLiteral(" tablesample system (") +
                        QString::number(percent, 'f', 6) + QStringLiteral(") repeatable (0)");
    SQLHSTMT statement = SQL_NULL_HSTMT;
    QString answer;
    if (m_session.ExecuteUnstreamedQuery(statement, sql).isEmpty())
        m_session.FetchRowText(statement, answer);
    m_session.CloseQuery(statement);
    return answer == QLatin1String("1");
}

QByteArray FilterProbe::NameKey(const QString& owner, const QString& name)
{
    return owner.toUtf8().toHex() + '.' + name.toUtf8().toHex();
}

// One question per run. A partitioned table or one with inheritors is read as an append of several
// tables, whose ctids repeat; views and foreign tables have none. A table too small for a parallel
// scan gains nothing from the plain query, which would only add a round trip. The size is the
// server's count as of the table's last vacuum or analysis (0 before the first): asking for the
// size of the file would wait on every table another session holds locked.
QHash<QByteArray, qint64> FilterProbe::LoadTables()
{
    QHash<QByteArray, qint64> tables;
    if (!m_session.HasUnstreamedConnection())
        return tables;
    const QString sql = QStringLiteral(
        "select encode(convert_to(n.nspname, 'UTF8'), 'hex') || '.' || encode(convert_to(c.relname, 'UTF8'), "
        "'hex') || ' ' || c.relpages from pg_catalog.pg_class c join pg_catalog.pg_namespace n on n.oid = "
        "c.relnamespace where c.relkind in ('r', 'm') and not c.relhassubclass and "
        "pg_catalog.current_setting('max_parallel_workers_per_gather')::int > 0 and (c.relpages = 0 or "
        "c.relpages::bigint * pg_catalog.current_setting('block_size')::int >= "
        "pg_catalog.pg_size_bytes(pg_catalog.current_setting('min_parallel_table_scan_size')))");
    SQLHSTMT statement = SQL_NULL_HSTMT;
    if (m_session.ExecuteUnstreamedQuery(statement, sql).isEmpty()) {
        QString row;
        while (m_session.FetchRowText(statement, row) == FetchResult::Row) {
            const qsizetype blank = row.indexOf(QLatin1Char(' '));
            tables.insert(row.left(blank).toLatin1(), row.mid(blank + 1).toLongLong());
        }
    }
    m_session.CloseQuery(statement);
    return tables;
}

QString FilterProbe::Statement(const DataSelect& select, const ServerFilterPlan& plan)
{
    // The limit below the sort lets the scan end at the first kRows + 1 rows where most rows match;
    // a result of kRows rows or fewer holds every row, and the sort puts them in the table's order.
    // No column of a table may be named ctid.
    return QStringLiteral("select ") + select.columnList + QStringLiteral(" from (select ctid , ") +
           select.columnList + QStringLiteral(" from ") + select.objectName + QStringLiteral(" where ") +
           plan.condition + QStringLiteral(" limit ") + QString::number(kRows + 1) +
           QStringLiteral(") as probe order by ctid");
}

bool FilterProbe::Complete(SQLHSTMT statement)
{
    const std::optional<qint64> rows = CDbSession::ResultRowCount(statement);
    return rows && *rows <= kRows;
}

} // namespace velkaro

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

QByteArray FilterProbe::NameKey(const QString& owner, const QString& name)
{
    return owner.toUtf8().toHex() + '.' + name.toUtf8().toHex();
}

// One question per run. A partitioned table or one with inheritors is read as an append of several
// tables, whose ctids repeat; views and foreign tables have none. A table too small for a parallel
// scan gains nothing from the plain query, which would only add a round trip.
QSet<QByteArray> FilterProbe::LoadTables()
{
    QSet<QByteArray> tables;
    if (!m_session.HasUnstreamedConnection())
        return tables;
    const QString sql = QStringLiteral(
        "select encode(convert_to(n.nspname, 'UTF8'), 'hex') || '.' || encode(convert_to(c.relname, 'UTF8'), "
        "'hex') from pg_catalog.pg_class c join pg_catalog.pg_namespace n on n.oid = c.relnamespace where "
        "c.relkind in ('r', 'm') and not c.relhassubclass and "
        "pg_catalog.current_setting('max_parallel_workers_per_gather')::int > 0 and "
        "pg_catalog.pg_relation_size(c.oid) >= "
        "pg_catalog.pg_size_bytes(pg_catalog.current_setting('min_parallel_table_scan_size'))");
    SQLHSTMT statement = SQL_NULL_HSTMT;
    if (m_session.ExecuteUnstreamedQuery(statement, sql).isEmpty()) {
        QString key;
        while (m_session.FetchRowText(statement, key) == FetchResult::Row)
            tables.insert(key.toLatin1());
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

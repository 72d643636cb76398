#include "search/engine/FilterProbe.h"

#include "catalog/CDbSession.h"
#include "catalog/FetchedRow.h"
#include "catalog/SearchRecords.h"
#include "search/engine/DataSelectBuilder.h"
#include "search/engine/ServerFilter.h"

namespace velkaro {

FilterProbe::FilterProbe(CDbSession& session) : m_session(session)
{}

bool FilterProbe::Probeable(const SearchObjectRecord& record, const ServerFilterPlan& plan)
{
    if (!plan.Filtered() || !plan.parameters.empty() || !m_session.HasUnstreamedConnection())
        return false;
    // A partitioned table or one with inheritors is read as an append of several tables, whose
    // ctids repeat; views and foreign tables have none.
    const QString sql = QStringLiteral("select 1 from pg_catalog.pg_class c join pg_catalog.pg_namespace n "
                                       "on n.oid = c.relnamespace where n.nspname = ") +
                        ServerFilter::PostgreSqlLiteral(record.owner) + QStringLiteral(" and c.relname = ") +
                        ServerFilter::PostgreSqlLiteral(record.name) +
                        QStringLiteral(" and c.relkind in ('r', 'm') and not c.relhassubclass");
    SQLHSTMT statement = SQL_NULL_HSTMT;
    bool probeable = false;
    if (m_session.ExecuteUnstreamedQuery(statement, sql).isEmpty()) {
        FetchedRow row;
        probeable = m_session.FetchRow(statement, row) == FetchResult::Row;
    }
    m_session.CloseQuery(statement);
    return probeable;
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

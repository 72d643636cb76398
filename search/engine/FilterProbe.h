#pragma once

#include "catalog/DriverStreaming.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <optional>
#include <sql.h>

namespace velkaro {

class CDbSession;
struct DataSelect;
struct SearchObjectRecord;
struct ServerFilterPlan;

// On PostgreSQL the rows a server filter keeps are first asked for in a plain query of at most
// kRows rows, in the table's own order, on the session's unstreamed connection: the server may
// scan the table in parallel for it, which it never does for the cursor a streamed query opens.
// Where more rows come back, the table's rows have no such order, or the table is too small for a
// parallel scan, the object is read through the cursor as before; the report is the same either way.
class FilterProbe final
{
public:
    // As many rows as one round trip of the cursor holds: the probe takes no more memory.
    static constexpr int kRows = DriverStreaming::kFetchRows;
    // Pages of a table that MostRowsPass reads: a few thousand rows of most tables.
    static constexpr qint64 kSamplePages = 64;

    explicit FilterProbe(CDbSession& session);

    // A plain table or materialized view without inheritors, big enough for a parallel scan, whose
    // scan, filtered or not, returns the rows in ctid order (the session turns synchronized scans
    // off); false too where there is no unstreamed connection.
    bool Probeable(const SearchObjectRecord& record, const ServerFilterPlan& plan);
    static QString Statement(const DataSelect& select, const ServerFilterPlan& plan);
    // After a probe that did not take every row: whether at least four rows in five of a sample of
    // the table pass the filter. False too where the question fails.
    bool MostRowsPass(const SearchObjectRecord& record, const DataSelect& select,
                      const ServerFilterPlan& plan);
    // False when the result reached past kRows rows, or the driver did not count them.
    static bool Complete(SQLHSTMT statement);

private:
    // Schema and name, each as the hex of its UTF-8: no character of a name can blur the two.
    static QByteArray NameKey(const QString& owner, const QString& name);
    // Each table the probe may read, with its pages.
    QHash<QByteArray, qint64> LoadTables();

    CDbSession& m_session;
    std::optional<QHash<QByteArray, qint64>> m_tables; // loaded on the first question
};

} // namespace velkaro

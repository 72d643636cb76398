#pragma once

#include "catalog/DriverStreaming.h"

#include <QString>
#include <sql.h>

namespace velkaro {

class CDbSession;
struct DataSelect;
struct SearchObjectRecord;
struct ServerFilterPlan;

// On PostgreSQL the rows a server filter keeps are first asked for in a plain query of at most
// kRows rows, in the table's own order, on the session's unstreamed connection: the server may
// scan the table in parallel for it, which it never does for the cursor a streamed query opens.
// Where more rows come back, or the table's rows have no such order, the object is read through
// the cursor as before; the report is the same either way.
class FilterProbe final
{
public:
    // As many rows as one round trip of the cursor holds: the probe takes no more memory.
    static constexpr int kRows = DriverStreaming::kFetchRows;

    explicit FilterProbe(CDbSession& session);

    // A plain table or materialized view without inheritors, whose scan, filtered or not, returns
    // the rows in ctid order (the session turns synchronized scans off); false too where there is
    // no unstreamed connection or the question fails.
    bool Probeable(const SearchObjectRecord& record, const ServerFilterPlan& plan);
    static QString Statement(const DataSelect& select, const ServerFilterPlan& plan);
    // False when the result reached past kRows rows, or the driver did not count them.
    static bool Complete(SQLHSTMT statement);

private:
    CDbSession& m_session;
};

} // namespace velkaro

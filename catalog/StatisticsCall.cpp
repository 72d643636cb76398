#include "catalog/StatisticsCall.h"

#include "catalog/OdbcStatement.h"

#include <sqlext.h>

namespace velkaro {

SQLRETURN CallStatistics(OdbcStatement& statement, const ObjectName& table)
{
    // Ordinary arguments, not patterns: names are passed as they are.
    QByteArray qualifier = table.qualifier.toUtf8();
    QByteArray owner = table.owner.toUtf8();
    QByteArray name = table.name.toUtf8();
    return SQLStatistics(statement.handle(), OdbcStatement::argument(qualifier),
                         OdbcStatement::argumentLength(qualifier), OdbcStatement::argument(owner),
                         OdbcStatement::argumentLength(owner), OdbcStatement::argument(name),
                         OdbcStatement::argumentLength(name), SQL_INDEX_ALL, SQL_ENSURE);
}

} // namespace velkaro

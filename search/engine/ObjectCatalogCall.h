#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <sql.h>

namespace velkaro {

class OdbcStatement;

// A catalog call about one object (SQLColumns, SQLStatistics), tried with each owner in turn:
// one that fails, or answers with no rows while another owner is left to try, passes to the next.
struct ObjectCatalogCall
{
    bool succeeded = false; // some call succeeded; false leaves the last failure on the statement
    SQLRETURN firstFetch = SQL_NO_DATA;

    static ObjectCatalogCall Open(OdbcStatement& statement, const QStringList& owners,
                                  const std::function<SQLRETURN(const QString& owner)>& call);
};

} // namespace velkaro

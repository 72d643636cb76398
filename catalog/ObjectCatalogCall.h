#pragma once

#include "catalog/SchemaRecords.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <sql.h>
#include <sqlext.h>

namespace velkaro {

class CatalogConnection;
class OdbcStatement;

// A catalog call about one object, tried with each owner in turn: one that fails, or answers with
// no rows while another owner is left to try, passes to the next. The statement is left on the
// first row of the call that answered.
struct ObjectCatalogCall
{
    bool succeeded = false; // some call succeeded; false leaves the last failure on the statement
    SQLRETURN firstFetch = SQL_NO_DATA;

    static ObjectCatalogCall Open(OdbcStatement& statement, const QStringList& owners,
                                  const std::function<SQLRETURN(const QString& owner)>& call);

    // The owners to try for an object: the one the catalog listed; without one, the login's and
    // then any (drivers differ in whether an object without an owner answers to the login's).
    static QStringList OwnerCandidates(const QString& listedOwner, const QString& loginUser);

    // The per-object calls with that fallback; object.owner is not used, owners replace it.
    static ObjectCatalogCall Columns(OdbcStatement& statement, const CatalogConnection& connection,
                                     const ObjectName& object, const QStringList& owners);
    static ObjectCatalogCall Statistics(OdbcStatement& statement, const ObjectName& table,
                                        const QStringList& owners, SQLUSMALLINT unique = SQL_INDEX_ALL,
                                        SQLUSMALLINT accuracy = SQL_ENSURE);
    static ObjectCatalogCall PrimaryKeys(OdbcStatement& statement, const ObjectName& table,
                                         const QStringList& owners);
};

} // namespace velkaro

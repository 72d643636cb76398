#pragma once

#include "catalog/SchemaRecords.h"

#include <sql.h>
#include <sqlext.h>

namespace velkaro {

class CatalogConnection;
class OdbcStatement;

// The catalog calls about one object, each written once for both programs. Empty name parts are
// passed as "not given".

// SQLColumns: owner and name are patterns, escaped so that "_" and "%" match only themselves.
SQLRETURN CallColumns(OdbcStatement& statement, const CatalogConnection& connection,
                      const ObjectName& object);
// SQLStatistics; by default every index, with exact statistics.
SQLRETURN CallStatistics(OdbcStatement& statement, const ObjectName& table,
                         SQLUSMALLINT unique = SQL_INDEX_ALL, SQLUSMALLINT accuracy = SQL_ENSURE);
SQLRETURN CallPrimaryKeys(OdbcStatement& statement, const ObjectName& table);
// SQLForeignKeys: the keys of primary that foreign refers to; either side may be left open.
SQLRETURN CallForeignKeys(OdbcStatement& statement, const ObjectName& primary, const ObjectName& foreign);

} // namespace velkaro

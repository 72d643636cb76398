#pragma once

#include "catalog/SchemaRecords.h"

#include <sql.h>

namespace velkaro {

class OdbcStatement;

// SQLStatistics for one table: every index, with exact statistics.
SQLRETURN CallStatistics(OdbcStatement& statement, const ObjectName& table);

// SQLStatistics result columns, by position.
enum StatisticsResult : SQLUSMALLINT
{
    StatNonUnique = 4,
    StatIndexName = 6,
    StatType = 7,
    StatColumnName = 9,
    StatCardinality = 11,
    StatPages = 12,
    StatFilter = 13
};

} // namespace velkaro

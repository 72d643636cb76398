#pragma once

#include <sql.h>

namespace velkaro {

// The result columns of the catalog functions both programs call, by position: ODBC 2 and 3 name
// them differently, and SQLGetData reads them in ascending order.

enum TablesResult : SQLUSMALLINT
{
    TablesQualifier = 1,
    TablesOwner = 2,
    TablesName = 3,
    TablesType = 4,
    TablesRemarks = 5
};

enum ColumnsResult : SQLUSMALLINT
{
    ColName = 4,
    ColDataType = 5,
    ColTypeName = 6,
    ColPrecision = 7, // COLUMN_SIZE in ODBC 3
    ColLength = 8,    // BUFFER_LENGTH
    ColScale = 9,     // DECIMAL_DIGITS
    ColRadix = 10,
    ColNullable = 11,
    ColRemarks = 12
};

enum StatisticsResult : SQLUSMALLINT
{
    StatNonUnique = 4,
    StatIndexName = 6,
    StatType = 7,
    StatOrdinalPosition = 8,
    StatColumnName = 9,
    StatCardinality = 11,
    StatPages = 12,
    StatFilter = 13
};

enum PrimaryKeysResult : SQLUSMALLINT
{
    PkColumnName = 4,
    PkKeySeq = 5,
    PkName = 6
};

enum ForeignKeysResult : SQLUSMALLINT
{
    FkPkTableName = 3,
    FkPkColumnName = 4,
    FkFkTableName = 7,
    FkFkColumnName = 8
};

} // namespace velkaro

#pragma once

#include <QString>

namespace velkaro::test {

// A SQLite catalog for the stall benchmarks: tables stall_0000 ... of 20 columns c00 ... c19, each
// with a unique index stall_NNNN_ux (c00) and an index stall_NNNN_ix (c01, c02).
struct StallCatalog
{
    static constexpr int kColumns = 20;

    static QString TableName(int table);
    // Writes the file with the sqlite3 shell; false when that failed.
    static bool Build(const QString& path, int tables);
};

} // namespace velkaro::test

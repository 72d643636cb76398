#include "StallCatalog.h"

#include "SqliteFixture.h"

#include <QStringList>

namespace velkaro::test {

QString StallCatalog::TableName(int table)
{
    return QStringLiteral("stall_%1").arg(table, 4, 10, QLatin1Char('0'));
}

bool StallCatalog::Build(const QString& path, int tables)
{
    static const char* const types[] = {"INTEGER", "VARCHAR(40)", "DECIMAL(10,2)", "DATE"};
    QStringList columns;
    for (int c = 0; c < kColumns; ++c)
        columns << QStringLiteral("c%1 %2").arg(c, 2, 10, QLatin1Char('0')).arg(QLatin1String(types[c % 4]));
    const QString columnList = columns.join(QStringLiteral(", "));
    QByteArray script = "BEGIN;\n";
    for (int t = 0; t < tables; ++t) {
        script += QStringLiteral("CREATE TABLE %1 (%2);\nCREATE UNIQUE INDEX %1_ux ON %1 (c00);\n"
                                 "CREATE INDEX %1_ix ON %1 (c01, c02);\n")
                      .arg(TableName(t), columnList)
                      .toUtf8();
    }
    return buildSqliteFile(path, script + "COMMIT;\n");
}

} // namespace velkaro::test

#include "catalog/DataSourceCatalog.h"

#include <QTest>

using velkaro::DataSourceCatalog;
using velkaro::DataSourceInfo;
using velkaro::DriverInfo;

class DataSourceCatalogTest : public QObject
{
    Q_OBJECT

private slots:
    void listsTheConfiguredDataSources()
    {
        QStringList names;
        for (const DataSourceInfo& source : DataSourceCatalog::DataSources()) {
            names.append(source.name);
            QVERIFY(source.system); // the test configuration has only system data sources
        }
        QCOMPARE(names, (QStringList{QStringLiteral("ShopSQLite"), QStringLiteral("ShopPostgres"),
                                     QStringLiteral("ShopMariaDB")}));
        QCOMPARE(DataSourceCatalog::DataSources().at(1).driver, QStringLiteral("PostgreSQL ANSI"));
    }

    void listsTheDriversWithTheirDescriptions()
    {
        QStringList names;
        QStringList descriptions;
        for (const DriverInfo& driver : DataSourceCatalog::Drivers()) {
            names.append(driver.name);
            descriptions.append(driver.description);
        }
        QCOMPARE(names, (QStringList{QStringLiteral("SQLite3"), QStringLiteral("PostgreSQL ANSI"),
                                     QStringLiteral("PostgreSQL Unicode"), QStringLiteral("MariaDB")}));
        QCOMPARE(descriptions.at(3), QStringLiteral("MariaDB Connector/ODBC"));
    }

    void connectStrings_data()
    {
        QTest::addColumn<bool>("driver");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        QTest::newRow("data source") << false << "ShopPostgres"
                                     << "DSN=ShopPostgres";
        QTest::newRow("data source with blank stays unbraced") << false << "My Shop"
                                                               << "DSN=My Shop";
        QTest::newRow("data source with semicolon braced") << false << "a;b"
                                                           << "DSN={a;b}";
        QTest::newRow("driver braced") << true << "PostgreSQL ANSI"
                                       << "DRIVER={PostgreSQL ANSI};";
        QTest::newRow("driver with brace doubled") << true << "odd}name"
                                                   << "DRIVER={odd}}name};";
    }
    void connectStrings()
    {
        QFETCH(bool, driver);
        QFETCH(QString, name);
        QFETCH(QString, expected);
        QCOMPARE(driver ? DataSourceCatalog::ConnectStringForDriver(name)
                        : DataSourceCatalog::ConnectStringForDataSource(name),
                 expected);
    }
};

QTEST_GUILESS_MAIN(DataSourceCatalogTest)
#include "DataSourceCatalogTest.moc"

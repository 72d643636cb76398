#include "catalog/ConnectString.h"

#include "catalog/DriverStreaming.h"

#include <QTest>

using velkaro::ConnectString;
using velkaro::DriverStreaming;
using velkaro::RowReading;

Q_DECLARE_METATYPE(RowReading)

class ConnectStringTest : public QObject
{
    Q_OBJECT

private slots:
    void extractAttribute_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        QTest::newRow("dsn upper-cased") << "DSN=sales;UID=scott"
                                         << "DSN="
                                         << "SALES";
        QTest::newRow("uid after dsn") << "DSN=sales;UID=scott"
                                       << "UID="
                                       << "SCOTT";
        QTest::newRow("dbq keeps backslashes") << "DSN=default;DBQ=C:\\data\\a.mdb"
                                               << "DBQ="
                                               << "C:\\DATA\\A.MDB";
        QTest::newRow("lower-case keyword not found") << "DSN=x;uid=scott"
                                                      << "UID="
                                                      << "";
        QTest::newRow("match inside FILEDSN") << "FILEDSN=x.dsn;DSN=y"
                                              << "DSN="
                                              << "X.DSN";
        QTest::newRow("last attribute without semicolon") << "UID=scott"
                                                          << "UID="
                                                          << "SCOTT";
        QTest::newRow("empty value") << "DSN=;UID=a"
                                     << "DSN="
                                     << "";
        QTest::newRow("non-ASCII upper-cased") << "DSN=größe-zoë"
                                               << "DSN="
                                               << "GRÖSSE-ZOË";
    }
    void extractAttribute()
    {
        QFETCH(QString, text);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        QCOMPARE(ConnectString::ExtractAttribute(text, key), expected);
    }

    void withoutPassword_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("PWD in the middle") << "DSN=a;UID=u;PWD=secret;PORT=1"
                                           << "DSN=a;UID=u;PORT=1";
        QTest::newRow("PWD first") << "PWD=secret;DSN=a"
                                   << "DSN=a";
        QTest::newRow("PWD last with trailing semicolon") << "DSN=a;PWD=secret;"
                                                          << "DSN=a;";
        QTest::newRow("empty PWD") << "DSN=a;PWD="
                                   << "DSN=a";
        QTest::newRow("lower case pwd") << "DSN=a;pwd=secret"
                                        << "DSN=a";
        QTest::newRow("PASSWORD mixed case") << "DSN=a;PassWord=secret;UID=u"
                                             << "DSN=a;UID=u";
        QTest::newRow("blanks around the equals sign") << "DSN=a; PWD = secret ;UID=u"
                                                       << "DSN=a;UID=u";
        QTest::newRow("braced value with semicolon") << "DSN=a;PWD={x;UID=evil};UID=u"
                                                     << "DSN=a;UID=u";
        QTest::newRow("braced value with doubled brace") << "PWD={a}};b};DSN=a"
                                                         << "DSN=a";
        QTest::newRow("unclosed brace takes the rest") << "DSN=a;PWD={x;UID=u"
                                                       << "DSN=a";
        QTest::newRow("only a password") << "PWD=secret"
                                         << "";
        QTest::newRow("PWD inside another braced value stays") << "DRIVER={odd;PWD=x};UID=u"
                                                               << "DRIVER={odd;PWD=x};UID=u";
        QTest::newRow("longer keyword is not a password") << "PWDHINT=1;DSN=a"
                                                          << "PWDHINT=1;DSN=a";
        QTest::newRow("no password unchanged") << "DSN=a;UID=u"
                                               << "DSN=a;UID=u";
        QTest::newRow("psqlODBC output")
            << "DSN=ShopPostgres;DATABASE=shop;SERVER=127.0.0.1;PORT=55432;UID=velkaro;PWD=velkaro%2dpw;CA=d;"
               "A7=100"
            << "DSN=ShopPostgres;DATABASE=shop;SERVER=127.0.0.1;PORT=55432;UID=velkaro;CA=d;A7=100";
    }
    void withoutPassword()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(ConnectString::WithoutPassword(text), expected);
    }

    void credentialsRoundTrip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain values appended") << "DSN=a"
                                               << "velkaro"
                                               << "velkaro-pw"
                                               << "DSN=a;UID=velkaro;PWD=velkaro-pw";
        QTest::newRow("old user and password replaced") << "DSN=a;uid=old;Pwd=old;PORT=1;"
                                                        << "new"
                                                        << "pw"
                                                        << "DSN=a;PORT=1;UID=new;PWD=pw";
        QTest::newRow("empty user leaves UID out") << "DSN=a"
                                                   << ""
                                                   << "pw"
                                                   << "DSN=a;PWD=pw";
        QTest::newRow("semicolon and braces braced") << "DSN=a"
                                                     << "u"
                                                     << "a;b}c{d"
                                                     << "DSN=a;UID=u;PWD={a;b}}c{d}";
        QTest::newRow("blank braced") << "DSN=a"
                                      << "first last"
                                      << "p w"
                                      << "DSN=a;UID={first last};PWD={p w}";
    }
    void credentialsRoundTrip()
    {
        QFETCH(QString, text);
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, expected);
        const QString completed = ConnectString::WithCredentials(text, user, password);
        QCOMPARE(completed, expected);
        // The driver must read back exactly what was typed, and stripping must leave nothing of it.
        QCOMPARE(ConnectString::AttributeValue(completed, QStringLiteral("PWD")),
                 std::optional<QString>(password));
        if (!user.isEmpty())
            QCOMPARE(ConnectString::AttributeValue(completed, QStringLiteral("uid")),
                     std::optional<QString>(user));
        QVERIFY(!ConnectString::WithoutPassword(completed).contains(password));
    }

    void withAttribute_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("appended") << "DSN=a;UID=u"
                                  << "DSN=a;UID=u;StepAPI=1";
        QTest::newRow("appended after a closing semicolon") << "DSN=a;"
                                                            << "DSN=a;StepAPI=1";
        QTest::newRow("the user's value replaced, whatever its case") << "DSN=a;stepapi=0;UID=u"
                                                                      << "DSN=a;UID=u;StepAPI=1";
        QTest::newRow("every copy replaced") << "StepAPI=0;DSN=a;STEPAPI = 0"
                                             << "DSN=a;StepAPI=1";
        QTest::newRow("a braced password holding the keyword stays whole")
            << "DSN=a;PWD={x;StepAPI=0}"
            << "DSN=a;PWD={x;StepAPI=0};StepAPI=1";
        QTest::newRow("a longer keyword is another attribute") << "DSN=a;NoStepAPI=0"
                                                               << "DSN=a;NoStepAPI=0;StepAPI=1";
    }
    void withAttribute()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(ConnectString::WithAttribute(text, QStringLiteral("StepAPI"), QStringLiteral("1")),
                 expected);
    }

    // Set only where the driver is known to honour it; the MariaDB driver streams from 3.1.17 on,
    // and its versions compare as numbers, not as text.
    void streamingAttributes_data()
    {
        QTest::addColumn<QString>("driverName");
        QTest::addColumn<QString>("driverVersion");
        QTest::addColumn<RowReading>("reading");
        QTest::addColumn<QString>("applied");
        QTest::newRow("psqlODBC ANSI")
            << "psqlodbca.so"
            << "13.02.0000" << RowReading::Streamed << "DSN=a;UseDeclareFetch=1;Fetch=5000";
        QTest::newRow("psqlODBC Unicode, full path")
            << "/usr/lib/odbc/psqlodbcw.so"
            << "16.00.0000" << RowReading::Streamed << "DSN=a;UseDeclareFetch=1;Fetch=5000";
        QTest::newRow("sqliteodbc") << "sqlite3odbc.so"
                                    << "0.9998" << RowReading::Streamed << "DSN=a;StepAPI=1";
        QTest::newRow("sqliteodbc as libsqlite3odbc")
            << "libsqlite3odbc.so"
            << "0.9999" << RowReading::Streamed << "DSN=a;StepAPI=1";
        QTest::newRow("MariaDB 3.1.15 holds whole results")
            << "libmaodbc.so"
            << "03.01.0015" << RowReading::KeyChunks << "DSN=a;NO_SSPS=1";
        QTest::newRow("MariaDB 3.1.9 is older, though 9 > 1 as text")
            << "libmaodbc.so"
            << "03.01.0009" << RowReading::KeyChunks << "DSN=a;NO_SSPS=1";
        QTest::newRow("MariaDB 3.1.17 streams") << "libmaodbc.so"
                                                << "03.01.0017" << RowReading::Streamed << "DSN=a;NO_CACHE=1";
        QTest::newRow("MariaDB 3.2.1 streams") << "maodbc.dll"
                                               << "3.2.1" << RowReading::Streamed << "DSN=a;NO_CACHE=1";
        QTest::newRow("MariaDB of unknown version left alone") << "libmaodbc.so"
                                                               << "" << RowReading::AsDriver << "DSN=a";
        QTest::newRow("unknown driver left alone") << "libother.so"
                                                   << "1.0" << RowReading::AsDriver << "DSN=a";
    }
    void streamingAttributes()
    {
        QFETCH(QString, driverName);
        QFETCH(QString, driverVersion);
        QFETCH(RowReading, reading);
        QFETCH(QString, applied);
        const DriverStreaming streaming = DriverStreaming::For(driverName, driverVersion);
        QCOMPARE(streaming.Reading(), reading);
        QCOMPARE(streaming.AppliedTo(QStringLiteral("DSN=a")), applied);
        QCOMPARE(streaming.ChangesConnection(), applied != QLatin1String("DSN=a"));
        // Only psqlODBC is known to hold a whole result when told, whatever the user's string says.
        const bool unstreamed = driverName.contains(QLatin1String("psqlodbc"));
        QCOMPARE(streaming.OffersUnstreamed(), unstreamed);
        if (unstreamed)
            QCOMPARE(streaming.UnstreamedAppliedTo(QStringLiteral("DSN=a;UseDeclareFetch=1")),
                     QStringLiteral("DSN=a;UseDeclareFetch=0"));
    }

    void attributeValue()
    {
        const QString text = QStringLiteral("DRIVER={PostgreSQL ANSI};Server = 127.0.0.1 ;pwd={a}}b}");
        QCOMPARE(ConnectString::AttributeValue(text, QStringLiteral("driver")),
                 QStringLiteral("PostgreSQL ANSI"));
        QCOMPARE(ConnectString::AttributeValue(text, QStringLiteral("SERVER")), QStringLiteral("127.0.0.1"));
        QCOMPARE(ConnectString::AttributeValue(text, QStringLiteral("PWD")), QStringLiteral("a}b"));
        QCOMPARE(ConnectString::AttributeValue(text, QStringLiteral("UID")), std::nullopt);
    }

    void firstAttributeValue_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("driver keeps its braces") << "DRIVER={SQL Server};SERVER=S1"
                                                 << "{SQL Server}";
        QTest::newRow("segment without equals sign") << "odd;SERVER=S1"
                                                     << "odd";
        QTest::newRow("no semicolon") << "SERVER=S1"
                                      << "S1";
        QTest::newRow("value with equals sign") << "A=b=c;D=e"
                                                << "b=c";
    }
    void firstAttributeValue()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(ConnectString::FirstAttributeValue(text), expected);
    }
};

QTEST_GUILESS_MAIN(ConnectStringTest)
#include "ConnectStringTest.moc"

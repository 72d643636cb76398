#include "common/ProfileStore.h"
#include "explorer/core/FindHistory.h"
#include "explorer/core/RecentDatabases.h"
#include "explorer/core/WindowPlacement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

using namespace velkaro;

Q_DECLARE_METATYPE(RecentDatabase)

namespace {
const QString kRecent = QStringLiteral("Recent DB");
const QString kSettings = QStringLiteral("Settings");

RecentDatabase recent(const QString& alias, bool ownerOnly, const QString& connectString)
{
    return RecentDatabase{alias, ownerOnly, connectString};
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

// The values kept in the settings store between runs, on the private settings home of the test.
class StoredStateTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_store = std::make_unique<ProfileStore>(QStringLiteral("Velkaro"));
        const QString path = m_store->FileName();
        m_store.reset();
        QDir(path).removeRecursively(); // left by the failed-write test
        QFile::remove(path);
        m_store = std::make_unique<ProfileStore>(QStringLiteral("Velkaro"));
    }

    void parseRecentDatabase_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<RecentDatabase>("expected");
        QTest::newRow("alias, owner-only set, connect string")
            << "Sales/p1/pDSN=ShopSQLite;UID=velkaro" << recent("Sales", true, "DSN=ShopSQLite;UID=velkaro");
        QTest::newRow("owner field other than 1 is off")
            << "Sales/p2/pDSN=ShopSQLite" << recent("Sales", false, "DSN=ShopSQLite");
        QTest::newRow("no owner field")
            << "Sales/pDSN=ShopSQLite" << recent("Sales", false, "DSN=ShopSQLite");
        QTest::newRow("bare connect string") << "DSN=ShopSQLite" << recent("", false, "DSN=ShopSQLite");
        QTest::newRow("empty alias as written")
            << "/p1/pDSN=ShopSQLite" << recent("", true, "DSN=ShopSQLite");
        QTest::newRow("non-numeric owner field")
            << "Sales/pyes/pDSN=ShopSQLite" << recent("Sales", false, "DSN=ShopSQLite");
        QTest::newRow("alias that is a path holding /p")
            << "/home/pat/shop.db/p0/pDRIVER=SQLite3;DATABASE=/home/pat/shop.db"
            << recent("/home/pat/shop.db", false, "DRIVER=SQLite3;DATABASE=/home/pat/shop.db");
        QTest::newRow("connect string holding /p1/p")
            << "Shop/p1/pDATABASE=/p1/pshop.db" << recent("Shop", true, "DATABASE=/p1/pshop.db");
    }
    void parseRecentDatabase()
    {
        QFETCH(QString, value);
        QFETCH(RecentDatabase, expected);
        const RecentDatabase parsed = RecentDatabases::Parse(value);
        QCOMPARE(parsed.alias, expected.alias);
        QCOMPARE(parsed.ownerOnly, expected.ownerOnly);
        QCOMPARE(parsed.connectString, expected.connectString);
    }

    void recentDatabasesRoundTrip()
    {
        const QList<RecentDatabase> databases{
            recent("Sales", true, "DSN=ShopPostgres;UID=velkaro"),
            recent("", false, "DSN=ShopSQLite"),
            recent("/home/pat/Größe.db", false, "DRIVER=SQLite3;DATABASE=/home/pat/Größe.db"),
            recent("sales-2025", false, "DSN=ShopMariaDB;UID=velkaro;OPTION={a;b}"),
        };
        QVERIFY(RecentDatabases::Write(*m_store, databases));
        QCOMPARE(m_store->ReadString(kRecent, QStringLiteral("0"), QString()),
                 QStringLiteral("Sales/p1/pDSN=ShopPostgres;UID=velkaro"));
        QCOMPARE(m_store->ReadString(kRecent, QStringLiteral("4"), QStringLiteral("absent")), QString());

        ProfileStore reread(QStringLiteral("Velkaro"));
        QCOMPARE(RecentDatabases::Read(reread), databases);

        // A later run with fewer databases: the stale values after the empty one are not read.
        QVERIFY(RecentDatabases::Write(*m_store, {databases[2]}));
        QVERIFY(!m_store->ReadString(kRecent, QStringLiteral("2"), QString()).isEmpty()); // stale value
        QCOMPARE(RecentDatabases::Read(*m_store), QList<RecentDatabase>{databases[2]});

        // All databases removed: "0" is written empty.
        QVERIFY(RecentDatabases::Write(*m_store, {}));
        QCOMPARE(m_store->ReadString(kRecent, QStringLiteral("0"), QStringLiteral("absent")), QString());
        QVERIFY(RecentDatabases::Read(*m_store).isEmpty());
    }

    void recentDatabasesNeverStoreAPassword()
    {
        const RecentDatabase database = recent("Shop", false,
                                               "DSN=ShopPostgres;UID=velkaro;PWD=velkaro-pw;"
                                               "Password={velkaro-pw}");
        QVERIFY(RecentDatabases::Write(*m_store, {database}));
        QVERIFY(!fileBytes(m_store->FileName()).contains("velkaro-pw"));
        const QList<RecentDatabase> read = RecentDatabases::Read(*m_store);
        QCOMPARE(read.size(), 1);
        QVERIFY(read[0].connectString.contains(QLatin1String("UID=velkaro")));
        QVERIFY(!read[0].connectString.contains(QLatin1String("PWD"), Qt::CaseInsensitive));
    }

    void failedWritesAreReported()
    {
        const QString path = m_store->FileName();
        m_store.reset();
        QFile::remove(path);
        QVERIFY(QDir().mkpath(path)); // a folder where the file belongs: no write can succeed
        ProfileStore blocked(QStringLiteral("Velkaro"));
        QVERIFY(!RecentDatabases::Write(blocked, {recent("Sales", false, "DSN=ShopSQLite")}));
        FindHistory history;
        history.Remember(QStringLiteral("ord"));
        QVERIFY(!history.Save(blocked));
        QVERIFY(!WindowPlacement().Save(blocked));
        QVERIFY(QDir(path).removeRecursively());
    }

    void windowPlacementFallbacks_data()
    {
        QTest::addColumn<QList<int>>("stored"); // Width, Height, Tree, Maximized; -1 = absent
        QTest::addColumn<QList<int>>("loaded");
        QTest::newRow("first run") << QList<int>{-1, -1, -1, -1} << QList<int>{640, 500, 200, 0};
        QTest::newRow("just below the minimums")
            << QList<int>{199, 99, 49, 0} << QList<int>{640, 500, 200, 0};
        QTest::newRow("at the minimums") << QList<int>{200, 100, 50, 0} << QList<int>{200, 100, 50, 0};
        QTest::newRow("negative values") << QList<int>{-5, -5, -5, 0} << QList<int>{640, 500, 200, 0};
        QTest::newRow("maximized") << QList<int>{1920, 1080, 400, 1} << QList<int>{1920, 1080, 400, 1};
        QTest::newRow("any non-zero maximizes")
            << QList<int>{800, 600, 250, 2} << QList<int>{800, 600, 250, 1};
    }
    void windowPlacementFallbacks()
    {
        QFETCH(QList<int>, stored);
        QFETCH(QList<int>, loaded);
        const QStringList names{"Width", "Height", "Tree", "Maximized"};
        for (int i = 0; i < names.size(); ++i) {
            if (stored[i] != -1)
                m_store->WriteInt(kSettings, names[i], stored[i]);
        }
        const WindowPlacement placement = WindowPlacement::Load(*m_store);
        QCOMPARE((QList<int>{placement.width, placement.height, placement.tree, placement.maximized ? 1 : 0}),
                 loaded);

        QVERIFY(placement.Save(*m_store));
        const WindowPlacement again = WindowPlacement::Load(*m_store);
        QCOMPARE((QList<int>{again.width, again.height, again.tree, again.maximized ? 1 : 0}), loaded);
    }

private:
    std::unique_ptr<ProfileStore> m_store;
};

QTEST_GUILESS_MAIN(StoredStateTest)
#include "StoredStateTest.moc"

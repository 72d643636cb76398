#include "common/ProfileStore.h"
#include "explorer/logsettings/IntegerRange.h"
#include "explorer/logsettings/LogSettings.h"
#include "explorer/logsettings/LookupSettings.h"
#include "explorer/logsettings/ObjectPageRules.h"
#include "explorer/logsettings/ObjectSettings.h"
#include "explorer/logsettings/RefreshSettings.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace velkaro;

namespace {
// Every value of the four groups with its section and name, set to a number of its own so that
// a value written under another name shows up.
struct Group
{
    LogSettings log;
    ObjectSettings object;
    LookupSettings lookup;
    RefreshSettings refresh;

    void load(const ProfileStore& store)
    {
        log.Load(store);
        object.Load(store);
        lookup.Load(store);
        refresh.Load(store);
    }
    bool save(ProfileStore& store)
    {
        return log.Save(store) && object.Save(store) && lookup.Save(store) && refresh.Save(store);
    }
};

struct Value
{
    const char* section;
    const char* name;
    std::atomic<int>* field;
    int defaultValue;
};

QList<Value> valuesOf(Group& g)
{
    return {
        {"Log", "Create", &g.log.enabled, 1},
        {"Log", "Trunc", &g.log.truncate, 0},
        {"Log", "Append", &g.log.append, 1},
        {"Log", "LOBJ", &g.log.LOBJ, 1},
        {"Log", "LCOL", &g.log.LCOL, 1},
        {"Log", "LIND", &g.log.LIND, 1},
        {"Log", "LSOBJ", &g.log.LSOBJ, 0},
        {"Log", "LSCOL", &g.log.LSCOL, 0},
        {"Log", "LSIND", &g.log.LSIND, 0},
        {"Log", "LREF", &g.log.LREF, 1},
        {"Log", "LADD", &g.log.LADD, 1},
        {"Log", "LREM", &g.log.LREM, 1},
        {"Log", "LANY", &g.log.LANY, 0},
        {"Obj", "OSEQ", &g.object.OSEQ, 1},
        {"Obj", "OSYS", &g.object.OSYS, 1},
        {"Obj", "OSYN", &g.object.OSYN, 1},
        {"Obj", "OTAB", &g.object.OTAB, 1},
        {"Obj", "OVIEW", &g.object.OVIEW, 1},
        {"Obj", "OCOL", &g.object.OCOL, 1},
        {"Obj", "OIND", &g.object.OIND, 1},
        {"Obj", "OINDCOL", &g.object.OINDCOL, 1},
        {"Obj", "OOTHERS", &g.object.OOTHERS, 0},
        {"ObjLook", "RAOBJ", &g.lookup.RAOBJ, 0},
        {"ObjLook", "RACOL", &g.lookup.RACOL, 0},
        {"ObjLook", "MaxM", &g.lookup.MaxM, 5},
        {"ObjLook", "DOST", &g.lookup.DOST, 1}, // "Calculate statistics next time"
        {"Refresh", "RAUTO", &g.refresh.RAUTO, 1},
        {"Refresh", "RIDLE", &g.refresh.RIDLE, 60},
        {"Refresh", "RMAX", &g.refresh.RMAX, 240},
        {"Refresh", "RTIME", &g.refresh.RTIME, 0},
    };
}
} // namespace

class SettingsGroupsTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(m_home.isValid());
        qputenv("XDG_CONFIG_HOME", m_home.path().toUtf8());
        QFile::remove(ProfileStore(QStringLiteral("Velkaro")).FileName());
    }

    void emptyStoreGivesDefaults()
    {
        ProfileStore store(QStringLiteral("Velkaro"));
        Group g;
        for (const Value& v : valuesOf(g))
            v.field->store(-7);
        g.load(store);

        for (const Value& v : valuesOf(g))
            QVERIFY2(v.field->load() == v.defaultValue, v.name);
        QCOMPARE(g.log.fileName, QStringLiteral("Velkaro"));
        QCOMPARE(g.refresh.notBefore, QTime(19, 0, 0));
        QCOMPARE(g.refresh.notAfter, QTime(6, 0, 0));
        QVERIFY(!QFile::exists(store.FileName())); // reading writes nothing

        Group fresh; // an unloaded group holds the same defaults
        for (const Value& v : valuesOf(fresh))
            QVERIFY2(v.field->load() == v.defaultValue, v.name);
    }

    void everyValueRoundTripsUnderItsOwnName()
    {
        Group saved;
        int number = 100;
        for (const Value& v : valuesOf(saved))
            v.field->store(++number);
        saved.log.fileName = QStringLiteral("/var/tmp/Größe run");
        saved.refresh.notBefore = QTime(21, 30, 15);
        saved.refresh.notAfter = QTime(5, 4, 3);
        {
            ProfileStore store(QStringLiteral("Velkaro"));
            QVERIFY(saved.save(store));
        }

        ProfileStore store(QStringLiteral("Velkaro"));
        number = 100;
        for (const Value& v : valuesOf(saved))
            QVERIFY2(store.ReadInt(v.section, v.name, -1) == ++number, v.name);
        QCOMPARE(store.ReadString("Log", "File", QString()), QStringLiteral("/var/tmp/Größe run"));
        const QList<std::pair<const char*, int>> times{{"RBHH", 21}, {"RBMM", 30}, {"RBSS", 15},
                                                       {"RAHH", 5},  {"RAMM", 4},  {"RASS", 3}};
        for (const auto& [name, expected] : times)
            QVERIFY2(store.ReadInt("Refresh", name, -1) == expected, name);

        Group loaded;
        loaded.load(store);
        number = 100;
        for (const Value& v : valuesOf(loaded))
            QVERIFY2(v.field->load() == ++number, v.name);
        QCOMPARE(loaded.log.fileName, saved.log.fileName);
        QCOMPARE(loaded.refresh.notBefore, saved.refresh.notBefore);
        QCOMPARE(loaded.refresh.notAfter, saved.refresh.notAfter);
    }

    // Out-of-range numbers stay until the user applies a page, except a thread count of 0 or less,
    // which would queue every load for good; a time that is no time of day cannot be held and
    // falls back to its default.
    void loadingKeepsStoredValues()
    {
        ProfileStore store(QStringLiteral("Velkaro"));
        store.WriteInt("ObjLook", "MaxM", 0);
        store.WriteInt("Refresh", "RIDLE", 5000000);
        store.WriteInt("Refresh", "RBHH", 25);
        store.WriteInt("Refresh", "RAMM", 59);
        Group g;
        g.load(store);
        QCOMPARE(g.lookup.MaxM.load(), 5);
        QCOMPARE(g.refresh.RIDLE.load(), 5000000);
        QCOMPARE(g.refresh.notBefore, QTime(19, 0, 0));
        QCOMPARE(g.refresh.notAfter, QTime(6, 59, 0));
        store.WriteInt("ObjLook", "MaxM", -2);
        g.load(store);
        QCOMPARE(g.lookup.MaxM.load(), 5);
    }

    void objectPageEnabling_data()
    {
        QTest::addColumn<bool>("tables");
        QTest::addColumn<bool>("views");
        QTest::addColumn<bool>("synonyms");
        QTest::addColumn<bool>("indexes");
        QTest::addColumn<bool>("columnsEnabled");
        QTest::addColumn<bool>("indexesEnabled");
        QTest::addColumn<bool>("indexColumnsEnabled");
        QTest::newRow("everything checked") << true << true << true << true << true << true << true;
        QTest::newRow("no tables, views or synonyms")
            << false << false << false << true << false << false << false;
        QTest::newRow("views only: columns, no indexes")
            << false << true << false << true << true << false << false;
        QTest::newRow("synonyms only: columns") << false << false << true << false << true << false << false;
        QTest::newRow("tables without indexes") << true << false << false << false << true << true << false;
    }

    void objectPageEnabling()
    {
        QFETCH(bool, tables);
        QFETCH(bool, views);
        QFETCH(bool, synonyms);
        QFETCH(bool, indexes);
        QFETCH(bool, columnsEnabled);
        QFETCH(bool, indexesEnabled);
        QFETCH(bool, indexColumnsEnabled);
        const ObjectPageRules::Enabled expected{columnsEnabled, indexesEnabled, indexColumnsEnabled};
        QVERIFY(ObjectPageRules::Evaluate({tables, views, synonyms, indexes}) == expected);
    }

    void integerRanges_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("expected"); // -1: refused
        QTest::newRow("zero threads") << "0" << 999 << -1;
        QTest::newRow("one thread too many") << "1000" << 999 << -1;
        QTest::newRow("highest thread count") << "999" << 999 << 999;
        QTest::newRow("nothing typed") << "" << 999 << -1;
        QTest::newRow("too long for an integer") << "99999999999" << 999999 << -1;
        QTest::newRow("longest refresh period") << "999999" << 999999 << 999999;
    }

    void integerRanges()
    {
        QFETCH(QString, text);
        QFETCH(int, maximum);
        QFETCH(int, expected);
        const IntegerRange range{1, maximum};
        QCOMPARE(range.Parse(text).value_or(-1), expected);
        QCOMPARE(range.Message(), QStringLiteral("Please enter an integer between 1 and %1.").arg(maximum));
    }

private:
    QTemporaryDir m_home;
};

QTEST_GUILESS_MAIN(SettingsGroupsTest)
#include "SettingsGroupsTest.moc"

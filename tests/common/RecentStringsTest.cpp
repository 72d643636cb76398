#include "common/RecentStrings.h"

#include "common/ProfileStore.h"

#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

using velkaro::ProfileStore;
using velkaro::RecentStrings;

namespace {

const QString kFind = QStringLiteral("Find");

QStringList numbered(int from, int to)
{
    QStringList strings;
    for (int i = from; i <= to; ++i)
        strings.append(QStringLiteral("s") + QString::number(i));
    return strings;
}

QStringList newestFirst(QStringList strings)
{
    std::reverse(strings.begin(), strings.end());
    return strings;
}

} // namespace

// Velkaro's find history and Zindrel's search history.
class RecentStringsTest final : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(m_home.isValid());
        qputenv("XDG_CONFIG_HOME", m_home.path().toUtf8());
    }

    void rememberKeepsTheTenNewestDistinctStrings_data()
    {
        QTest::addColumn<QStringList>("entered"); // oldest first
        QTest::addColumn<QStringList>("kept");    // newest first
        QTest::newRow("an identical string moves to the head once")
            << QStringList{"ord", "cust", "ord"} << QStringList{"ord", "cust"};
        QTest::newRow("an empty string is not kept") << QStringList{"ord", ""} << QStringList{"ord"};
        QTest::newRow("letter case makes a different string")
            << QStringList{"ord", "cust", "ord", "ORD"} << QStringList{"ORD", "ord", "cust"};
        QTest::newRow("the eleventh string drops the oldest")
            << numbered(1, 11) << newestFirst(numbered(2, 11));
        QTest::newRow("reuse in a full list drops nothing")
            << numbered(1, 12) + QStringList{"s5"}
            << QStringList{"s5"} + newestFirst(numbered(6, 12)) + QStringList{"s4", "s3"};
    }
    void rememberKeepsTheTenNewestDistinctStrings()
    {
        QFETCH(QStringList, entered);
        QFETCH(QStringList, kept);
        RecentStrings recent(kFind);
        for (const QString& text : entered)
            recent.Remember(text);
        QCOMPARE(recent.Strings(), kept);
        QCOMPARE(recent.Newest(), kept.first());
    }

    void loadEndsAtTheFirstMissingValueAndTakesTen()
    {
        ProfileStore store(QStringLiteral("Velkaro"));
        for (const char* name : {"0", "1", "2", "4"})
            store.WriteString(kFind, QString::fromLatin1(name),
                              QStringLiteral("s") + QString::fromLatin1(name));
        RecentStrings recent(kFind);
        recent.Load(store);
        QCOMPARE(recent.Strings(), numbered(0, 2)); // "3" is absent: the list ends there

        for (int i = 0; i < 12; ++i)
            store.WriteString(kFind, QString::number(i), QStringLiteral("s") + QString::number(i));
        recent.Load(store);
        QCOMPARE(recent.Strings(), numbered(0, 9));
    }

    void saveRenumbersAndEndsWithOneEmptyValue()
    {
        {
            ProfileStore store(QStringLiteral("Zindrel"));
            store.WriteString(kFind, QStringLiteral("3"), QStringLiteral("left over"));
            RecentStrings recent(kFind);
            recent.Strings() = QStringList{" red|green ", "", "Größe", ""};
            QVERIFY(recent.Save(store));
            QCOMPARE(store.ReadString(kFind, QStringLiteral("0"), QString()), QStringLiteral(" red|green "));
            QCOMPARE(store.ReadString(kFind, QStringLiteral("1"), QString()), QStringLiteral("Größe"));
            QCOMPARE(store.ReadString(kFind, QStringLiteral("2"), QStringLiteral("absent")), QString());
        }
        RecentStrings reread(kFind);
        reread.Load(ProfileStore(QStringLiteral("Zindrel")));
        QCOMPARE(reread.Strings(), (QStringList{" red|green ", "Größe"}));
    }

private:
    QTemporaryDir m_home;
};

QTEST_GUILESS_MAIN(RecentStringsTest)
#include "RecentStringsTest.moc"

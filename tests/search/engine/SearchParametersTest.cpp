#include "search/engine/SearchParameters.h"

#include "common/ProfileStore.h"
#include "search/engine/TextMatcher.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace velkaro;

namespace {

const QString kSettings = QStringLiteral("Settings");
const QString kFind = QStringLiteral("Find");

} // namespace

class SearchParametersTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Before the first store: the settings paths are fixed once per process.
        QVERIFY(m_home.isValid());
        qputenv("XDG_CONFIG_HOME", m_home.path().toUtf8());
    }

    void init()
    {
        QSettings all(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Halvetic"),
                      QStringLiteral("Zindrel"));
        all.clear();
        all.sync();
    }

    void anEmptyStoreGivesTheDefaults()
    {
        const ProfileStore store(QStringLiteral("Zindrel"));
        SearchParameters p;
        p.reportFileName = QStringLiteral("stale");
        p.ignoredColumnPatterns = {QStringLiteral("X")};
        p.outputMode = OutputMode::CompleteToFile;
        p.Load(store);
        QVERIFY(p.searchObjectNames && p.searchColumnNames && p.searchDataTypes && p.searchIndexes &&
                p.searchData);
        QCOMPARE(p.matchMode, MatchMode::AnySubstring);
        QVERIFY(!p.matchCase);
        QCOMPARE(p.specialNameMode, SpecialNameMode::AutoDetect);
        QVERIFY(!p.useOdbcStandardTypes && !p.ownedByCurrentUserOnly && !p.ignoreColumnTypeLength);
        QVERIFY(!p.searchSystemObjects);
        QVERIFY(p.serverFilter);
        QCOMPARE(p.autoSaveLines, 500);
        QVERIFY(p.ignoreCaseObjectNames && p.listCommonObjects && p.listNotProcessedObjects);
        QVERIFY(p.ignoreCaseColumnNames);
        QVERIFY(!p.ignoreCaseData && !p.ignoreLeadingSpaces && !p.ignoreTrailingSpaces);
        // Not stored: they start afresh with every load.
        QCOMPARE(p.outputMode, OutputMode::Screen);
        QVERIFY(p.reportFileName.isEmpty());
        QVERIFY(p.ignoredColumnPatterns.isEmpty());
        QVERIFY(p.searchText.isEmpty());
        QVERIFY(p.searchHistory.Strings().isEmpty());
    }

    void valuesRoundTripUnderTheirNames()
    {
        // Every value differs from its default, so a value written under a wrong name shows.
        SearchParameters p;
        p.specialNameMode = SpecialNameMode::AllRegular;
        p.matchCase = true;
        p.matchMode = MatchMode::Suffix;
        p.autoSaveLines = 42;
        p.useOdbcStandardTypes = p.ignoreColumnTypeLength = p.ignoreCaseData = true;
        p.ignoreTrailingSpaces = p.ignoreLeadingSpaces = p.ownedByCurrentUserOnly = true;
        p.ignoreCaseColumnNames = p.ignoreCaseObjectNames = p.listCommonObjects = false;
        p.listNotProcessedObjects = p.searchIndexes = p.searchData = false;
        p.searchDataTypes = p.searchObjectNames = p.searchColumnNames = false;
        p.searchSystemObjects = true;
        p.serverFilter = false;
        ProfileStore store(QStringLiteral("Zindrel"));
        QVERIFY(p.Save(store));

        const std::pair<const char*, int> stored[] = {
            {"asn", 2}, {"mac", 1}, {"sem", 3}, {"asl", 42}, {"bdt", 1}, {"ccl", 1}, {"ccc", 0},
            {"cdc", 1}, {"cdt", 1}, {"cdl", 1}, {"ctc", 0},  {"doc", 0}, {"uid", 1}, {"dos", 0},
            {"din", 0}, {"dda", 0}, {"ddt", 0}, {"dst", 0},  {"dcl", 0}, {"sys", 1}, {"srf", 0}};
        for (const auto& [name, value] : stored)
            QVERIFY2(store.ReadInt(kSettings, QString::fromLatin1(name), -1) == value, name);

        SearchParameters reread;
        reread.Load(store);
        QCOMPARE(reread.specialNameMode, p.specialNameMode);
        QCOMPARE(reread.matchCase, p.matchCase);
        QCOMPARE(reread.matchMode, p.matchMode);
        QCOMPARE(reread.autoSaveLines, p.autoSaveLines);
        const bool SearchParameters::*flags[] = {
            &SearchParameters::useOdbcStandardTypes,  &SearchParameters::ignoreColumnTypeLength,
            &SearchParameters::ignoreCaseData,        &SearchParameters::ignoreTrailingSpaces,
            &SearchParameters::ignoreLeadingSpaces,   &SearchParameters::ownedByCurrentUserOnly,
            &SearchParameters::ignoreCaseColumnNames, &SearchParameters::ignoreCaseObjectNames,
            &SearchParameters::listCommonObjects,     &SearchParameters::listNotProcessedObjects,
            &SearchParameters::searchIndexes,         &SearchParameters::searchData,
            &SearchParameters::searchDataTypes,       &SearchParameters::searchObjectNames,
            &SearchParameters::searchColumnNames,     &SearchParameters::searchSystemObjects,
            &SearchParameters::serverFilter};
        for (const auto flag : flags)
            QCOMPARE(reread.*flag, p.*flag);
    }

    void anUnknownStoredModeMatchesNothing()
    {
        ProfileStore store(QStringLiteral("Zindrel"));
        QVERIFY(store.WriteInt(kSettings, QStringLiteral("sem"), 7));
        SearchParameters p;
        p.Load(store);
        p.AcceptSearchText(QStringLiteral("a"));
        QVERIFY(!TextMatcher(p).MatchText(QStringLiteral("a")).found);
    }

    void acceptedTextIsSplitAndRemembered()
    {
        SearchParameters p;
        p.AcceptSearchText(QStringLiteral("s5"));
        QCOMPARE(p.searchTerms, QStringList{QStringLiteral("s5")});
        QCOMPARE(p.searchHistory.Newest(), QStringLiteral("s5"));
    }

    void historyRoundTripsWithItsTerminator()
    {
        SearchParameters p;
        p.AcceptSearchText(QStringLiteral("older"));
        p.AcceptSearchText(QStringLiteral(" red|green "));
        {
            ProfileStore store(QStringLiteral("Zindrel"));
            store.WriteString(kFind, QStringLiteral("3"), QStringLiteral("left over"));
            QVERIFY(p.Save(store));
            QCOMPARE(store.ReadString(kFind, QStringLiteral("0"), QString()), QStringLiteral(" red|green "));
            QCOMPARE(store.ReadString(kFind, QStringLiteral("1"), QString()), QStringLiteral("older"));
            QCOMPARE(store.ReadString(kFind, QStringLiteral("2"), QStringLiteral("missing")), QString());
        }
        SearchParameters reread;
        reread.Load(ProfileStore(QStringLiteral("Zindrel")));
        QCOMPARE(reread.searchHistory.Strings(), (QStringList{" red|green ", "older"}));
        QCOMPARE(reread.searchText, QStringLiteral(" red|green "));
        QVERIFY(reread.searchTerms.isEmpty()); // split only when a run starts
    }

private:
    QTemporaryDir m_home;
};

QTEST_GUILESS_MAIN(SearchParametersTest)
#include "SearchParametersTest.moc"

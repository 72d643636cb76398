#include "RecordingPrompt.h"
#include "common/AsciiText.h"
#include "search/engine/IgnoredColumns.h"
#include "search/engine/SearchTerms.h"
#include "search/engine/TextMatcher.h"

#include <QRandomGenerator>
#include <QTest>
#include <optional>

using namespace velkaro;

Q_DECLARE_METATYPE(velkaro::MatchMode)
Q_DECLARE_METATYPE(velkaro::PatternAddResult)

class SearchMatchingTest : public QObject
{
    Q_OBJECT

private slots:
    void splitsAlternatives_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("terms");
        QTest::newRow("one term") << "red" << QStringList{"red"};
        QTest::newRow("two alternatives") << "red|green" << QStringList{"red", "green"};
        QTest::newRow("escaped bar is literal") << R"(a\|b)" << QStringList{"a|b"};
        QTest::newRow("escaped bar then separator") << R"(a\|b|c)" << QStringList{"a|b", "c"};
        QTest::newRow("double bar keeps the second") << "a||b" << QStringList{"a", "|b"};
        QTest::newRow("leading bar is literal") << "|a" << QStringList{"|a"};
        QTest::newRow("bar alone") << "|" << QStringList{"|"};
        QTest::newRow("trailing bar adds nothing") << "a|" << QStringList{"a"};
        QTest::newRow("spaces stay") << " abc | d " << QStringList{" abc ", " d "};
        QTest::newRow("other backslashes stay") << R"(c:\x|y)" << QStringList{R"(c:\x)", "y"};
        QTest::newRow("empty text") << "" << QStringList{};
    }

    void splitsAlternatives()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, terms);
        QCOMPARE(SplitSearchTerms(text), terms);
    }

    void findsTheEarliestTerm_data()
    {
        QTest::addColumn<QString>("searchText");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("term");
        QTest::newRow("earliest occurrence wins") << "b|a" << false << "xab" << 1 << "a";
        QTest::newRow("equal start keeps the term listed first") << "ab|a" << false << "xab" << 1 << "ab";
        QTest::newRow("term at the start") << "zz|x" << false << "xab" << 0 << "x";
        QTest::newRow("case folded both ways") << "AB" << false << "xab" << 1 << "AB";
        QTest::newRow("case kept") << "AB" << true << "xab" << -1 << "";
        QTest::newRow("absent") << "q" << false << "xab" << -1 << "";
    }

    void findsTheEarliestTerm()
    {
        QFETCH(QString, searchText);
        QFETCH(bool, matchCase);
        QFETCH(QString, text);
        QFETCH(int, index);
        QFETCH(QString, term);
        const TermHit hit =
            TextMatcher(SplitSearchTerms(searchText), MatchMode::AnySubstring, matchCase).FindFirstTerm(text);
        QCOMPARE(hit.index, index);
        QCOMPARE(hit.term, term);
    }

    void matchesUnderEachMode_data()
    {
        QTest::addColumn<MatchMode>("mode");
        QTest::addColumn<QString>("searchText");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("position"); // -1: no match
        QTest::addColumn<int>("length");

        const auto any = MatchMode::AnySubstring;
        QTest::newRow("substring ignores case") << any << "abc" << false << "xABCx" << 1 << 3;
        QTest::newRow("match case refuses other case") << any << "abc" << true << "ABC" << -1 << 0;
        QTest::newRow("match case finds same case") << any << "abc" << true << "ABC abc" << 4 << 3;
        QTest::newRow("alternatives: earliest wins") << any << "b|a" << false << "xab" << 1 << 1;
        QTest::newRow("alternatives: first listed on a tie") << any << "ab|a" << false << "xab" << 1 << 2;
        QTest::newRow("escaped bar searches a bar") << any << R"(a\|b)" << false << "xA|B" << 1 << 3;
        QTest::newRow("bar alone searches a bar") << any << "|" << false << "a|b" << 1 << 1;
        QTest::newRow("leading space kept") << any << " abc" << false << "xabc y abc" << 6 << 4;
        QTest::newRow("sharp s keeps positions") << any << "id" << false << "straße id" << 7 << 2;
        QTest::newRow("accented letters fold") << any << "éclair" << false << "un ÉCLAIR" << 3 << 6;
        QTest::newRow("long s term meets a plain ASCII row") << any << "ſid" << false << "x sid" << 2 << 3;
        QTest::newRow("Latin-1 letter upper-cased beyond Latin-1")
            << any << "Ÿ" << false << "abc ÿ" << 4 << 1;
        QTest::newRow("letter after a non-ASCII one") << any << "q" << false << "é q" << 2 << 1;

        const auto word = MatchMode::WholeWord;
        QTest::newRow("whole word alone") << word << "ID" << false << "ID" << 0 << 2;
        QTest::newRow("whole word after space") << word << "ID" << false << "A ID" << 2 << 2;
        QTest::newRow("whole word before tab") << word << "ID" << false << "ID\tB" << 0 << 2;
        QTest::newRow("whole word after tab") << word << "ID" << false << "A\tID" << 2 << 2;
        QTest::newRow("whole word between LF and CR") << word << "ID" << false << "x\nID\r\n" << 2 << 2;
        QTest::newRow("whole word in a data row") << word << "red" << false << "1 \t Red \t 2" << 4 << 3;
        QTest::newRow("whole word not a prefix") << word << "ID" << false << "IDX" << -1 << 0;
        QTest::newRow("whole word not a suffix") << word << "ID" << false << "XID" << -1 << 0;
        QTest::newRow("hyphen is no boundary") << word << "ID" << false << "A-ID" << -1 << 0;
        QTest::newRow("CR before is no boundary") << word << "ID" << false << "x\rID" << -1 << 0;
        QTest::newRow("LF after is no boundary") << word << "ID" << false << "ID\nx" << -1 << 0;
        QTest::newRow("retry after a rejected occurrence") << word << "ID" << false << "IDX ID" << 4 << 2;
        QTest::newRow("occurrence glued to a rejected one") << word << "ID" << false << "XIDID" << -1 << 0;

        const auto prefix = MatchMode::Prefix;
        QTest::newRow("prefix at start") << prefix << "CUST" << false << "CUSTOMER" << 0 << 4;
        QTest::newRow("prefix after space") << prefix << "CUST" << false << "A CUSTOMER" << 2 << 4;
        QTest::newRow("prefix inside a word") << prefix << "CUST" << false << "MYCUST" << -1 << 0;
        QTest::newRow("prefix retried") << prefix << "CUST" << false << "MYCUST CUSTOMER" << 7 << 4;
        QTest::newRow("prefix glued to a rejected one")
            << prefix << "CUST" << false << "XCUSTCUST" << -1 << 0;

        const auto suffix = MatchMode::Suffix;
        QTest::newRow("suffix at end") << suffix << "ID" << false << "ORDERID" << 5 << 2;
        QTest::newRow("suffix before space") << suffix << "ID" << false << "ORDERID X" << 5 << 2;
        QTest::newRow("suffix before CR") << suffix << "ID" << false << "ORDERID\r\n" << 5 << 2;
        QTest::newRow("suffix starting a word") << suffix << "ID" << false << "IDS" << -1 << 0;
        QTest::newRow("suffix retried") << suffix << "ID" << false << "IDS ORDERID" << 9 << 2;
        QTest::newRow("overlap is not examined: AA in AAA") << suffix << "AA" << false << "AAA" << -1 << 0;

        // Long rows, as a data search reads them, are scanned sixteen bytes at a time.
        const QString row = "1234 \t customer name 1234 \t note text for row 1234 \t ";
        QTest::newRow("long row, term in the third block")
            << any << "needle-4711" << false << row + "asked about NEEDLE-4711" << 65 << 11;
        QTest::newRow("long row, term across a block edge")
            << any << "r name" << false << "0123456789abcdefghijcustomer name and more after it" << 27 << 6;
        QTest::newRow("long row, term is the last bytes") << any << "ID" << true << row + "ID" << 53 << 2;
        QTest::newRow("long row, first and last letters without the middle")
            << any << "nXXe" << false << row + "nyye nyxe" << -1 << 0;
        QTest::newRow("long row, whole word retried in a later block")
            << word << "row" << false << "rows rowing arrow narrowly \t row" << 29 << 3;
        QTest::newRow("long row, non-ASCII value") << any << "1234" << false << "Zürich \t " + row << 9 << 4;
        QTest::newRow("long row, match case") << any << "Customer" << true << row + "Customer" << 53 << 8;

        QTest::newRow("unknown mode matches nothing") << MatchMode(7) << "a" << false << "a" << -1 << 0;
    }

    void matchesUnderEachMode()
    {
        QFETCH(MatchMode, mode);
        QFETCH(QString, searchText);
        QFETCH(bool, matchCase);
        QFETCH(QString, text);
        QFETCH(int, position);
        QFETCH(int, length);
        const TextMatcher matcher(SplitSearchTerms(searchText), mode, matchCase);
        const MatchResult match = matcher.MatchText(text);
        QCOMPARE(match.found, position >= 0);
        if (match.found) {
            QCOMPARE(match.position, position);
            QCOMPARE(match.length, length);
        }
        // The same text as a row's bytes: decided on them when plain ASCII, left to MatchText else.
        const QByteArray bytes = text.toUtf8();
        const bool plain = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
        const std::optional<bool> onBytes =
            matcher.MatchAsciiBytes({bytes.constData(), size_t(bytes.size())});
        QCOMPARE(onBytes.has_value(), plain);
        if (plain)
            QCOMPARE(*onBytes, match.found);
    }

    void leavesBytesBeyondPlainAsciiUndecided_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("plain");
        const QByteArray row = "0123456789abcdef0123456789abcdef0123";
        QTest::newRow("plain") << row << true;
        QTest::newRow("DEL is plain") << row + "\x7f" << true;
        QTest::newRow("empty") << QByteArray() << true;
        QTest::newRow("NUL in the first block") << QByteArray("ab\0cd", 5) << false;
        QTest::newRow("NUL in the second block") << row.left(20) + QByteArray(1, '\0') + row << false;
        QTest::newRow("0x80 in the tail") << row + "\x80" << false;
        QTest::newRow("0xFF in a block") << "\xff" + row << false;
        QTest::newRow("UTF-8 letter") << row + "\xc3\xa4" << false;
    }

    void leavesBytesBeyondPlainAsciiUndecided()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, plain);
        const std::string_view view(bytes.constData(), size_t(bytes.size()));
        QCOMPARE(IsPlainAscii(view), plain);
        // A NUL ends a value's text and a byte from 0x80 decodes to something else: neither is
        // judged on the bytes.
        const TextMatcher matcher({"cd"}, MatchMode::AnySubstring, false);
        QCOMPARE(matcher.MatchAsciiBytes(view).has_value(), plain);
    }

    // The block-wise search against the plainest scan there is, over many short random texts
    // of a few letters, so that every alignment, near miss and block edge comes up.
    void findsAsciiAsAPlainScanDoes()
    {
        QRandomGenerator random(4711);
        const char letters[] = "aAbB -";
        const auto randomText = [&](int length) {
            std::string text;
            for (int i = 0; i < length; ++i)
                text += letters[random.bounded(int(sizeof letters) - 1)];
            return text;
        };
        const auto upper = [](std::string text) {
            for (char& c : text)
                c = char(std::toupper(static_cast<unsigned char>(c)));
            return text;
        };
        for (int round = 0; round < 20000; ++round) {
            const std::string text = randomText(random.bounded(70));
            const bool foldCase = random.bounded(2) == 1;
            std::string needle = randomText(1 + random.bounded(round % 7 == 0 ? 20 : 4));
            if (foldCase)
                needle = upper(needle);
            const qsizetype from = random.bounded(int(text.size()) + 2);
            const std::string subject = foldCase ? upper(text) : text;
            const size_t expected =
                size_t(from) <= subject.size() ? subject.find(needle, size_t(from)) : std::string::npos;
            const qsizetype found = FindAscii(text, needle, from, foldCase);
            QVERIFY2(found == (expected == std::string::npos ? -1 : qsizetype(expected)),
                     qPrintable(QString("'%1' in '%2' from %3, fold %4: %5")
                                    .arg(QString::fromStdString(needle), QString::fromStdString(text))
                                    .arg(from)
                                    .arg(foldCase)
                                    .arg(found)));
        }
    }

    void listsEveryInstanceOfALine()
    {
        const TextMatcher matcher({"ab", "x"}, MatchMode::WholeWord, false);
        const QList<MatchResult> matches = matcher.AllMatches("ab abx AB \t x");
        QCOMPARE(matches.size(), 3);
        QCOMPARE(matches.at(0).position, 0);
        QCOMPARE(matches.at(1).position, 7);
        QCOMPARE(matches.at(2).position, 12);
    }

    void anEmptyTermNeverMatches()
    {
        // Only a caller that builds the terms itself can pass one; it must not match everywhere.
        QVERIFY(!TextMatcher({""}, MatchMode::WholeWord, false).MatchText("abc").found);
        QCOMPARE(TextMatcher({"", "b"}, MatchMode::AnySubstring, false).MatchText("abc").position, 1);
    }

    void ignoresColumns_data()
    {
        QTest::addColumn<QStringList>("patterns");
        QTest::addColumn<QString>("column");
        QTest::addColumn<bool>("ignored");
        QTest::newRow("suffix pattern") << QStringList{"%_ID"} << "CUST_ID" << true;
        QTest::newRow("suffix pattern, short name") << QStringList{"%_ID"} << "X_ID" << true;
        QTest::newRow("name shorter than the suffix") << QStringList{"%_ID"} << "ID" << false;
        QTest::newRow("suffix inside the name is no suffix") << QStringList{"%_ID"} << "CUST_ID_OLD" << false;
        QTest::newRow("prefix inside the name is no prefix") << QStringList{"ID_%"} << "CUST_ID_OLD" << false;
        QTest::newRow("underscore is no wildcard") << QStringList{"%_ID"} << "CUSTXID" << false;
        QTest::newRow("name is upper-cased") << QStringList{"CUST%"} << "customer" << true;
        QTest::newRow("lower-case pattern matches nothing") << QStringList{"cust%"} << "cust" << false;
        QTest::newRow("parts may overlap") << QStringList{"AB%BC"} << "ABC" << true;
        QTest::newRow("expander alone matches all") << QStringList{"%"} << "whatever" << true;
        QTest::newRow("exact pattern") << QStringList{"NAME"} << "Name" << true;
        QTest::newRow("exact pattern, longer name") << QStringList{"NAME"} << "NAMES" << false;
        QTest::newRow("any pattern of the list") << QStringList{"X", "Y%"} << "y1" << true;
        QTest::newRow("no patterns") << QStringList{} << "ID" << false;
    }

    void ignoresColumns()
    {
        QFETCH(QStringList, patterns);
        QFETCH(QString, column);
        QFETCH(bool, ignored);
        QCOMPARE(MatchesIgnoredColumn(patterns, column), ignored);
    }

    void addsPatterns_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<PatternAddResult>("result");
        QTest::addColumn<QStringList>("patterns");
        QTest::addColumn<QStringList>("messages");
        const QStringList before{"A%B"};
        QTest::newRow("empty text") << "" << PatternAddResult::NothingToAdd << before << QStringList{};
        QTest::newRow("two expanders refused")
            << "A%B%C" << PatternAddResult::Refused << before
            << QStringList{"You can have only one expander ('%') per string"};
        QTest::newRow("one expander")
            << "C%" << PatternAddResult::Added << QStringList{"A%B", "C%"} << QStringList{};
        QTest::newRow("duplicates allowed")
            << "A%B" << PatternAddResult::Added << QStringList{"A%B", "A%B"} << QStringList{};
    }

    void addsPatterns()
    {
        QFETCH(QString, text);
        QFETCH(PatternAddResult, result);
        QFETCH(QStringList, patterns);
        QFETCH(QStringList, messages);
        test::RecordingPrompt prompt;
        QStringList list{"A%B"};
        QCOMPARE(AddIgnoredPattern(list, text, prompt), result);
        QCOMPARE(list, patterns);
        QCOMPARE(prompt.messages, messages);
    }
};

QTEST_GUILESS_MAIN(SearchMatchingTest)
#include "SearchMatchingTest.moc"

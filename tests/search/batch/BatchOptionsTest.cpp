#include "search/batch/BatchOptions.h"

#include <QProcess>
#include <QTest>

using namespace velkaro;

namespace {

// A command line as a shell would split it; "<empty>" stands for an empty argument.
QStringList Arguments(const QString& line)
{
    QStringList arguments = QProcess::splitCommand(line);
    arguments.replaceInStrings(QStringLiteral("<empty>"), QString());
    return QStringList{QStringLiteral("zindrel-batch")} + arguments;
}

// The parsed options that a command line decides, in one comparable line.
QString Describe(const BatchOptions& options)
{
    const SearchParameters& p = options.parameters;
    QStringList places;
    const std::pair<bool, const char*> flags[] = {{p.searchObjectNames, "objects"},
                                                  {p.searchColumnNames, "columns"},
                                                  {p.searchDataTypes, "types"},
                                                  {p.searchIndexes, "indexes"},
                                                  {p.searchData, "data"}};
    for (const auto& [on, name] : flags) {
        if (on)
            places << QString::fromLatin1(name);
    }
    QStringList parts{QStringLiteral("connect=") + options.connectString,
                      QStringLiteral("terms=") + p.searchTerms.join(QLatin1Char('/')),
                      QStringLiteral("match=%1").arg(int(p.matchMode)),
                      QStringLiteral("names=%1").arg(int(p.specialNameMode)),
                      QStringLiteral("in=") + places.join(QLatin1Char(','))};
    const std::pair<bool, const char*> switches[] = {{p.matchCase, "case"},
                                                     {p.useOdbcStandardTypes, "odbc-types"},
                                                     {p.ignoreColumnTypeLength, "no-type-length"},
                                                     {p.listNotProcessedObjects, "list-not-processed"},
                                                     {p.searchSystemObjects, "system"},
                                                     {!p.serverFilter, "no-server-filter"}};
    for (const auto& [on, name] : switches) {
        if (on)
            parts << QString::fromLatin1(name);
    }
    if (!options.objects.isEmpty())
        parts << QStringLiteral("objects=") + options.objects.join(QLatin1Char('/'));
    if (!p.ignoredColumnPatterns.isEmpty())
        parts << QStringLiteral("ignore=") + p.ignoredColumnPatterns.join(QLatin1Char('/'));
    if (!options.outputFile.isEmpty())
        parts << QStringLiteral("output=") + options.outputFile;
    if (!options.rtfFile.isEmpty())
        parts << QStringLiteral("rtf=") + options.rtfFile;
    return parts.join(QLatin1Char(' '));
}

} // namespace

class BatchOptionsTest final : public QObject
{
    Q_OBJECT

private slots:
    void goodCommandLines_data();
    void goodCommandLines();
    void refusedCommandLines_data();
    void refusedCommandLines();
    void lowerCaseColumnPatternIsKeptWithAWarning();
    void helpNeedsNothingElse();
};

void BatchOptionsTest::goodCommandLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("described");

    const QString all = QStringLiteral("in=objects,columns,types,indexes,data");
    QTest::newRow("defaults: any substring, every place, auto names")
        << "--dsn ShopSQLite --text needle"
        << "connect=DSN=ShopSQLite terms=needle match=0 names=0 " + all;
    QTest::newRow("dsn and user become the connect string")
        << "--dsn ShopPostgres --user velkaro --text x"
        << "connect=DSN=ShopPostgres;UID=velkaro terms=x match=0 names=0 " + all;
    QTest::newRow("a dsn holding ';' cannot add attributes")
        << "--dsn \"a;DRIVER=evil\" --text x"
        << "connect=DSN={a;DRIVER=evil} terms=x match=0 names=0 " + all;
    QTest::newRow("connect string taken as given")
        << "--connect \"DSN=ShopMariaDB;UID=velkaro\" --text x"
        << "connect=DSN=ShopMariaDB;UID=velkaro terms=x match=0 names=0 " + all;
    QTest::newRow("alternatives, an escaped bar and a kept leading blank")
        << "--dsn D --text \" red|a\\|b\""
        << "connect=DSN=D terms= red/a|b match=0 names=0 " + all;
    QTest::newRow("text starting with a dash") << "--dsn D --text=-4711"
                                               << "connect=DSN=D terms=-4711 match=0 names=0 " + all;
    QTest::newRow("every switch")
        << "--dsn D --text x --match word --case --names regular --odbc-types --no-type-length "
           "--list-not-processed --system --no-server-filter"
        << "connect=DSN=D terms=x match=1 names=2 " + all +
               " case odbc-types no-type-length list-not-processed system no-server-filter";
    QTest::newRow("prefix, suffix and special names") << "--dsn D --text x --match suffix --names special"
                                                      << "connect=DSN=D terms=x match=3 names=1 " + all;
    QTest::newRow("some places only, in any order")
        << "--dsn D --text x --in data,objects"
        << "connect=DSN=D terms=x match=0 names=0 in=objects,data";
    QTest::newRow("repeated objects and column patterns keep their order")
        << "--dsn D --text x --object customers --object \"Order Archive\" --ignore-column %_ID "
           "--ignore-column NOTES"
        << "connect=DSN=D terms=x match=0 names=0 " + all +
               " objects=customers/Order Archive ignore=%_ID/NOTES";
    QTest::newRow("output files") << "--dsn D --text x --output report.txt --rtf report.rtf"
                                  << "connect=DSN=D terms=x match=0 names=0 " + all +
                                         " output=report.txt rtf=report.rtf";
}

void BatchOptionsTest::goodCommandLines()
{
    QFETCH(QString, line);
    QFETCH(QString, described);
    const BatchOptionsParse parse = ParseBatchOptions(Arguments(line));
    QVERIFY2(parse.Ok(), qPrintable(parse.error));
    QVERIFY(parse.warnings.isEmpty());
    QCOMPARE(Describe(parse.options), described);
}

void BatchOptionsTest::refusedCommandLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("error");

    QTest::newRow("no data source") << "--text x"
                                    << "either --connect STRING or --dsn NAME";
    QTest::newRow("two data sources") << "--dsn D --connect DSN=E --text x"
                                      << "either --connect";
    QTest::newRow("user with a connect string") << "--connect DSN=E --user u --text x"
                                                << "--user goes with --dsn";
    QTest::newRow("password in the connect string") << "--connect \"DSN=E;PWD=secret\" --text x"
                                                    << "Leave the password out";
    QTest::newRow("password keyword in another case") << "--connect \"DSN=E;Password=secret\" --text x"
                                                      << "Leave the password out";
    QTest::newRow("empty dsn") << "--dsn <empty> --text x"
                               << "--dsn needs";
    QTest::newRow("no search text") << "--dsn D"
                                    << "You must enter a string to search for before you can begin.";
    QTest::newRow("search text of blanks") << "--dsn D --text \"   \""
                                           << "You must enter a string to search for before you can begin.";
    QTest::newRow("search text twice") << "--dsn D --text a --text b"
                                       << "--text may be given only once";
    QTest::newRow("value missing at the end") << "--dsn D --text"
                                              << "Missing value after '--text'";
    QTest::newRow("unknown option") << "--dsn D --text x --fast"
                                    << "Unknown option 'fast'";
    QTest::newRow("stray argument") << "--dsn D needle"
                                    << "Unexpected argument 'needle'";
    QTest::newRow("unknown match mode") << "--dsn D --text x --match fuzzy"
                                        << "--match takes any|word|prefix|suffix";
    QTest::newRow("unknown name mode") << "--dsn D --text x --names quoted"
                                       << "--names takes auto|special|regular";
    QTest::newRow("unknown place") << "--dsn D --text x --in data,rows"
                                   << "'rows' is not one of";
    QTest::newRow("no place") << "--dsn D --text x --in ,"
                              << "--in needs one or more";
    QTest::newRow("two expanders") << "--dsn D --text x --ignore-column A%B%C"
                                   << "You can have only one expander ('%') per string";
    QTest::newRow("empty object name") << "--dsn D --text x --object <empty>"
                                       << "--object needs";
    QTest::newRow("one file for both reports") << "--dsn D --text x --output r.txt --rtf ./r.txt"
                                               << "--output and --rtf name the same file";
}

void BatchOptionsTest::refusedCommandLines()
{
    QFETCH(QString, line);
    QFETCH(QString, error);
    const BatchOptionsParse parse = ParseBatchOptions(Arguments(line));
    QVERIFY(!parse.Ok());
    QVERIFY2(parse.error.contains(error), qPrintable(parse.error));
    QVERIFY(!parse.error.contains(QLatin1String("secret")));
}

void BatchOptionsTest::lowerCaseColumnPatternIsKeptWithAWarning()
{
    const BatchOptionsParse parse = ParseBatchOptions(Arguments("--dsn D --text x --ignore-column cust%"));
    QVERIFY(parse.Ok());
    QCOMPARE(parse.options.parameters.ignoredColumnPatterns, QStringList{QStringLiteral("cust%")});
    QCOMPARE(parse.warnings.size(), 1);
    QVERIFY(parse.warnings.constFirst().contains(QLatin1String("CUST%")));
}

void BatchOptionsTest::helpNeedsNothingElse()
{
    const BatchOptionsParse parse = ParseBatchOptions(Arguments("--help"));
    QVERIFY(parse.options.helpRequested);
    QVERIFY(BatchUsage().contains(QLatin1String("ZINDREL_PASSWORD")));
}

QTEST_GUILESS_MAIN(BatchOptionsTest)
#include "BatchOptionsTest.moc"

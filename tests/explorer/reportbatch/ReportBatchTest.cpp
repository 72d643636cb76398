// velkaro-report: what its command line accepts, and the real program against the samples.

#include "explorer/reportbatch/ReportBatchOptions.h"
#include "tests/support/TestDataSources.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <unistd.h>

using namespace velkaro;
using namespace velkaro::test;

namespace {

struct ToolRun
{
    int exitCode = -1;
    QByteArray out;
    QByteArray errors;
};

ToolRun runTool(const QStringList& arguments, const QString& password = QString())
{
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("VELKARO_PASSWORD"));
    if (!password.isEmpty())
        environment.insert(QStringLiteral("VELKARO_PASSWORD"), password);
    tool.setProcessEnvironment(environment);
    // Without a controlling terminal a refused login fails instead of asking.
    tool.setChildProcessModifier([] { ::setsid(); });
    tool.start(QStringLiteral(VELKARO_REPORT), arguments);
    ToolRun run;
    if (!tool.waitForFinished(60000))
        return run;
    run.exitCode = tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
    run.out = tool.readAllStandardOutput();
    run.errors = tool.readAllStandardError();
    return run;
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class ReportBatchTest final : public QObject
{
    Q_OBJECT

private slots:
    void refusedCommandLines_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("error");
        const QString all = QStringLiteral("--all");
        QTest::newRow("password in --connect") << QStringList{"--connect", "DSN=x;PWD=secret", all}
                                               << QStringLiteral("Leave the password out of --connect");
        QTest::newRow("no data source")
            << QStringList{all} << QStringLiteral("either --connect STRING or --dsn NAME");
        QTest::newRow("objects and --all") << QStringList{"--dsn", "x", "--object", "a", all}
                                           << QStringLiteral("--object NAME (repeatable) or --all");
        QTest::newRow("no objects") << QStringList{"--dsn", "x"}
                                    << QStringLiteral("--object NAME (repeatable) or --all");
        QTest::newRow("page break without pages") << QStringList{"--dsn", "x", all, "--page-break"}
                                                  << QStringLiteral("--page-break goes with --pdf");
        QTest::newRow("output twice") << QStringList{"--dsn", "x", all, "--output", "a", "--output", "b"}
                                      << QStringLiteral("--output may be given only once.");
    }

    void refusedCommandLines()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, error);
        const ReportBatchParse parse =
            ParseReportBatchOptions(QStringList{QStringLiteral("velkaro-report")} + arguments);
        QVERIFY2(parse.error.contains(error), qPrintable(parse.error));
    }

    void sectionsDefaultToAllFour()
    {
        const ReportBatchParse all = ParseReportBatchOptions({"velkaro-report", "--dsn", "x", "--all"});
        QVERIFY(all.Ok());
        QVERIFY(all.options.sections.columns && all.options.sections.indexes &&
                all.options.sections.primaryKeys && all.options.sections.foreignKeys);
        QCOMPARE(all.options.connectString, QStringLiteral("DSN=x"));
        const ReportBatchParse some =
            ParseReportBatchOptions({"velkaro-report", "--dsn", "x", "--user", "u", "--all", "--indexes"});
        QVERIFY(some.Ok());
        QVERIFY(some.options.sections.indexes && !some.options.sections.columns &&
                !some.options.sections.foreignKeys);
        QCOMPARE(some.options.connectString, QStringLiteral("DSN=x;UID=u"));
    }

    void failuresExitTwoAndSayWhy_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("reason");
        QTest::newRow("unknown object: the last report stays as it was")
            << QStringList{"--object", "customers", "--object", "no_such_table"}
            << QStringLiteral("--object no_such_table: the data source holds no object of that name");
        QTest::newRow("a write that fails")
            << QStringList{"--all", "--output", "/dev/full"}
            << QStringLiteral("Could not write file '/dev/full': No space left on device");
    }

    void failuresExitTwoAndSayWhy()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, reason);
        VELKARO_REQUIRE_DATA_SOURCE(testDataSource(QStringLiteral("sqlite")));
        QTemporaryDir dir;
        const QString previous = dir.filePath(QStringLiteral("previous.txt"));
        QFile file(previous);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("last report\n") > 0);
        file.close();
        if (!arguments.contains(QStringLiteral("--output")))
            arguments << QStringLiteral("--output") << previous;

        const ToolRun run =
            runTool(QStringList{QStringLiteral("--dsn"), QStringLiteral("ShopSQLite")} + arguments);

        QCOMPARE(run.exitCode, 2);
        QVERIFY2(QString::fromLocal8Bit(run.errors).contains(reason), run.errors.constData());
        QCOMPARE(fileBytes(previous), QByteArray("last report\n"));
    }

    void serverSourcesWithPasswordFromEnvironment_data()
    {
        QTest::addColumn<QString>("source");
        QTest::newRow("postgres") << QStringLiteral("postgres");
        QTest::newRow("mariadb") << QStringLiteral("mariadb");
    }

    void serverSourcesWithPasswordFromEnvironment()
    {
        QFETCH(QString, source);
        const TestDataSource& data = testDataSource(source);
        VELKARO_REQUIRE_DATA_SOURCE(data);
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
        const QStringList arguments{"--dsn",    data.dsn,    "--user",   "velkaro",
                                    "--object", "customers", "--object", "orders"};

        const ToolRun text = runTool(arguments, QStringLiteral("velkaro-pw"));
        const ToolRun printed =
            runTool(arguments + QStringList{"--pdf", pdf, "--page-break"}, QStringLiteral("velkaro-pw"));
        const ToolRun refused = runTool(arguments, QStringLiteral("not-the-pw-4711"));

        QCOMPARE(text.exitCode, 0);
        QVERIFY(text.out.startsWith("VELKARO OBJECTS REPORT\n\n\n"));
        QVERIFY(text.out.contains("\nTable:\n      customers\n"));
        QVERIFY(text.out.endsWith("\nEND OF REPORT\n"));
        QCOMPARE(printed.exitCode, 0);
        QVERIFY(printed.out.isEmpty());
        QVERIFY(fileBytes(pdf).startsWith("%PDF"));
        QCOMPARE(refused.exitCode, 2);
        QVERIFY(refused.out.isEmpty());
        QVERIFY(!refused.errors.isEmpty());
        QVERIFY(!refused.errors.contains("not-the-pw-4711"));
        // No password at all, and no terminal to ask on.
        const ToolRun notGiven = runTool(arguments);
        QCOMPARE(notGiven.exitCode, 2);
        QVERIFY2(
            notGiven.errors.contains(": the data source asks for a login, and none was given (set "
                                     "VELKARO_PASSWORD, or run velkaro-report in a terminal to be asked)"),
            notGiven.errors.constData());
    }

    // A report far bigger than a pipe holds: the program blocks on its output until the test reads
    // on, and the signal comes in the middle. The report then ends with its cancel lines.
    void aSignalCancelsTheReport()
    {
        QTemporaryDir dir;
        const QString database = dir.filePath(QStringLiteral("wide.sqlite"));
        // Wide tables rather than many: the driver's search for references to a table reads every
        // table, so the catalog's size costs time squared.
        QStringList columns;
        for (int column = 0; column < 30; ++column)
            columns << QStringLiteral("a_fairly_long_column_name_%1 TEXT").arg(column);
        QString script = QStringLiteral("BEGIN;");
        for (int table = 0; table < 200; ++table)
            script += QStringLiteral("CREATE TABLE t%1 (id INTEGER PRIMARY KEY, %2);")
                          .arg(table)
                          .arg(columns.join(QStringLiteral(", ")));
        script += QStringLiteral("COMMIT;");
        QProcess sqlite;
        sqlite.start(QStringLiteral("sqlite3"), {database});
        sqlite.write(script.toUtf8());
        sqlite.closeWriteChannel();
        if (!sqlite.waitForFinished() || sqlite.exitCode() != 0)
            QSKIP("the sqlite3 shell is needed to build the scratch database");

        QProcess tool;
        tool.start(QStringLiteral(VELKARO_REPORT),
                   {QStringLiteral("--connect"), QStringLiteral("DRIVER=SQLite3;Database=") + database,
                    QStringLiteral("--all")});
        QVERIFY(tool.waitForReadyRead(120000));
        QByteArray report = tool.readAllStandardOutput();
        QVERIFY(report.startsWith("VELKARO OBJECTS REPORT\n"));
        ::kill(pid_t(tool.processId()), SIGTERM);
        QVERIFY(tool.waitForFinished(60000));
        report += tool.readAllStandardOutput();

        QCOMPARE(tool.exitStatus(), QProcess::NormalExit);
        QCOMPARE(tool.exitCode(), 2);
        QVERIFY2(tool.readAllStandardError().contains(
                     "velkaro-report: the report was stopped before it finished."),
                 report.right(200).constData());
        QVERIFY(report.endsWith("\n\nCanceled...\n\n\n"));
        QVERIFY(!report.contains("END OF REPORT"));
    }
};

QTEST_GUILESS_MAIN(ReportBatchTest)
#include "ReportBatchTest.moc"

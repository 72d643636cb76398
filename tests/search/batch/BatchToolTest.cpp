// Whole runs through the real zindrel-batch program, on each sample data source.

#include "BlockedObject.h"
#include "RecordingPrompt.h"
#include "RecordingSearchHost.h"
#include "ReportReading.h"
#include "TestDataSources.h"
#include "catalog/CDbSession.h"
#include "search/engine/DirectReportWriter.h"
#include "search/engine/ReportDocument.h"
#include "search/engine/SearchRun.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

using namespace velkaro;
using namespace velkaro::test;

namespace {

const char* const kPassword = "velkaro-pw";

struct ToolResult
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// The password travels in the environment, never on the command line.
QStringList ConnectArguments(const TestDataSource& source)
{
    QString connect = QStringLiteral("DSN=") + source.dsn;
    if (source.needsServer)
        connect += QStringLiteral(";UID=velkaro");
    return {QStringLiteral("--connect"), connect};
}

ToolResult RunTool(const QStringList& arguments, const QString& password = QString::fromLatin1(kPassword))
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("ZINDREL_PASSWORD"));
    if (!password.isNull())
        environment.insert(QStringLiteral("ZINDREL_PASSWORD"), password);
    process.setProcessEnvironment(environment);
    // A session of its own has no terminal, so a login the environment cannot answer fails at once
    // instead of waiting for the keyboard.
    process.setChildProcessModifier([] { ::setsid(); });
    process.start(QStringLiteral(ZINDREL_BATCH), arguments);
    ToolResult result;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

QByteArray ReadAll(const QString& name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The rich text back as plain text: the reader marks colours as "{Colour:text}", which can be
// taken off again as long as the report itself holds no braces.
QString PlainText(const QByteArray& rtf)
{
    QString text = ReadRtf(rtf).marked;
    text.remove(QRegularExpression(QStringLiteral("\\{[A-Za-z#0-9]+(\\+b)?:")));
    text.remove(QLatin1Char('}'));
    return text;
}

// The shop's own tables. MariaDB lists the server's system views with them, some of which the
// test user may not read, and the first object that cannot be read ends the data search.
QStringList ShopTables()
{
    QStringList arguments;
    for (const char* table :
         {"customers", "group", "Order Archive", "2fast", "Größe", "MixedCase", "products"})
        arguments << QStringLiteral("--object") << QString::fromUtf8(table);
    return arguments;
}

QString Heading(const QString& object)
{
    return QStringLiteral("Instances found in data from TABLE ") + object + QStringLiteral("\r\n");
}

} // namespace

class BatchToolTest final : public QObject
{
    Q_OBJECT

private slots:
    void findsDataInEveryKindOfName_data();
    void findsDataInEveryKindOfName();
    void textIsWhatCompleteToFileWrites();
    void nothingFoundGoesToStandardOutput_data();
    void nothingFoundGoesToStandardOutput();
    void objectSelectionAndNotProcessedList();
    void exitStatuses_data();
    void exitStatuses();
    void terminateStopsTheRunAndKeepsTheReport();
    void terminateCancelsABlockedSelect_data();
    void terminateCancelsABlockedSelect();
    void failures_data();
    void failures();
    void writesToADeviceAndAPipe();
    void aLoginNotGivenSaysHowToGiveIt();
    void wrongPasswordIsRefusedWithoutShowingIt();
    void unreachableSourceLeavesTheLastReport();

private:
    void addSources();
    QTemporaryDir m_dir;
};

void BatchToolTest::addSources()
{
    QTest::addColumn<QString>("key");
    for (const TestDataSource& source : testDataSources())
        QTest::newRow(qPrintable(source.key)) << source.key;
}

void BatchToolTest::findsDataInEveryKindOfName_data()
{
    addSources();
}

// The planted value and values in the tables whose names need quoting: blanks, a hyphen, a
// leading digit, mixed case, non-ASCII letters and a reserved word.
void BatchToolTest::findsDataInEveryKindOfName()
{
    QFETCH(QString, key);
    const TestDataSource& source = testDataSource(key);
    VELKARO_REQUIRE_DATA_SOURCE(source);
    const QString textFile = m_dir.filePath(key + QStringLiteral(".txt"));
    const QString rtfFile = m_dir.filePath(key + QStringLiteral(".rtf"));
    const ToolResult result =
        RunTool(ConnectArguments(source) + ShopTables() +
                QStringList{QStringLiteral("--text"),
                            QStringLiteral("needle-4711|closed in 2019|1:02.345|Zwölf|CamelValue"),
                            QStringLiteral("--in"), QStringLiteral("data"), QStringLiteral("--output"),
                            textFile, QStringLiteral("--rtf"), rtfFile});
    QVERIFY2(result.exitCode == 0, result.err.constData());
    QVERIFY(result.out.isEmpty());

    const QString text = QString::fromUtf8(ReadAll(textFile));
    QVERIFY2(!text.contains(QLatin1String("The following error was received")), qPrintable(text));
    // On PostgreSQL "--object customers" names the schema twin too, so each is shown with its schema.
    const char* customers = key == QLatin1String("postgres") ? "public.customers" : "customers";
    for (const char* object : {customers, "group", "Order Archive", "2fast", "Größe", "MixedCase"})
        QVERIFY2(text.contains(Heading(QString::fromUtf8(object))), object);
    QVERIFY(text.contains(QLatin1String("asked about needle-4711 twice")));
    QVERIFY(text.contains(QLatin1String("needle-4711 in a reserved table")));
    QVERIFY(text.contains(QLatin1String("TOTAL NUMBER OF INSTANCES FOUND: 6")));
    QVERIFY(text.contains(QLatin1String("--- End of Zindrel --- Elapsed Time: ")));
    QVERIFY(!text.contains(QLatin1String(kPassword)));
    QVERIFY(!result.err.contains(kPassword));

    const QByteArray rtf = ReadAll(rtfFile);
    QVERIFY(rtf.startsWith("{\\rtf1"));
    QVERIFY(!text.contains(QLatin1Char('{')) && !text.contains(QLatin1Char('}')));
    QCOMPARE(PlainText(rtf), QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")));
}

// The same search through the tool and through the search program's own complete-to-file output.
void BatchToolTest::textIsWhatCompleteToFileWrites()
{
    const TestDataSource& source = testDataSource(QStringLiteral("sqlite"));
    VELKARO_REQUIRE_DATA_SOURCE(source);
    const QString text = QStringLiteral("needle-4711|Zwölf|customer");
    const ToolResult result = RunTool(ConnectArguments(source) + QStringList{QStringLiteral("--text"), text});
    QVERIFY2(result.exitCode == 0, result.err.constData());

    const QString file = m_dir.filePath(QStringLiteral("complete.txt"));
    test::RecordingPrompt prompt;
    CDbSession session(SessionVariant::Search);
    QVERIFY(session.ConnectByString(source.connectString, prompt));
    SearchParameters parameters;
    parameters.listNotProcessedObjects = false;
    parameters.AcceptSearchText(text);
    parameters.outputMode = OutputMode::CompleteToFile;
    parameters.reportFileName = file;
    ReportDocument document(prompt);
    DirectReportWriter writer(document);
    test::RecordingSearchHost host;
    SearchRun(session, parameters, writer, host).RunSearch();

    // Only the elapsed time may differ.
    const QRegularExpression elapsed(QStringLiteral("Elapsed Time: \\d\\d:\\d\\d:\\d\\d"));
    const QString expected =
        QString::fromUtf8(ReadAll(file)).replace(elapsed, QStringLiteral("Elapsed Time"));
    QVERIFY(expected.contains(QLatin1String("Instances found in data from TABLE customers")));
    QCOMPARE(QString::fromUtf8(result.out).replace(elapsed, QStringLiteral("Elapsed Time")), expected);
}

void BatchToolTest::nothingFoundGoesToStandardOutput_data()
{
    addSources();
}

void BatchToolTest::nothingFoundGoesToStandardOutput()
{
    QFETCH(QString, key);
    const TestDataSource& source = testDataSource(key);
    VELKARO_REQUIRE_DATA_SOURCE(source);
    // A whole run over the catalog, except on MariaDB (see ShopTables).
    const ToolResult result =
        RunTool(ConnectArguments(source) + (key == QLatin1String("mariadb") ? ShopTables() : QStringList()) +
                QStringList{QStringLiteral("--text"), QStringLiteral("no-such-text-0815")});
    QVERIFY2(result.exitCode == 1, result.err.constData());
    const QString text = QString::fromUtf8(result.out);
    QVERIFY(text.startsWith(QLatin1String("DATABASE :  ")));
    QVERIFY(text.contains(QLatin1String("SEARCHING FOR :  no-such-text-0815")));
    QVERIFY(text.contains(QLatin1String("TOTAL NUMBER OF INSTANCES FOUND: 0")));
    // Standard error tells only what was read: every object that has rows, and on MariaDB the
    // objects the object list left out and the tables without a key, which its driver holds whole.
    static const QRegularExpression complete(
        QStringLiteral("^OBJECTS READ: (\\d+) of \\1\nROWS READ: \\d+\n"
                       "(\nThe following objects were not searched in .*\n\n"
                       "\t\t\\d+ objects - left out by the object list\n)?"
                       "(\nThe following objects had to be read whole in .*\n\n(\t\t.* - read whole\n)+)?"
                       "(\nHow the rows of the objects were read in .*\n\n(\t\t.* - every row read: .*\n)*"
                       "(\t\t\\d+ objects? - filtered by the server\n)?)?$"));
    QVERIFY2(complete.match(QString::fromUtf8(result.err)).hasMatch(), result.err.constData());
    // The user's saved search settings are neither read nor written.
    QVERIFY(
        !QFile::exists(qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Halvetic/Zindrel.conf")));
}

void BatchToolTest::objectSelectionAndNotProcessedList()
{
    const TestDataSource& source = testDataSource(QStringLiteral("sqlite"));
    VELKARO_REQUIRE_DATA_SOURCE(source);
    const ToolResult result = RunTool(ConnectArguments(source) +
                                      QStringList{QStringLiteral("--text"), QStringLiteral("needle-4711"),
                                                  QStringLiteral("--object"), QStringLiteral("customers"),
                                                  QStringLiteral("--object"), QStringLiteral("Order Archive"),
                                                  QStringLiteral("--list-not-processed")});
    QVERIFY2(result.exitCode == 0, result.err.constData());
    const QString text = QString::fromUtf8(result.out);
    QVERIFY(text.contains(Heading(QStringLiteral("customers"))));
    QVERIFY(!text.contains(Heading(QStringLiteral("group"))));
    QVERIFY(text.contains(QLatin1String("The following objects were not processed in ")));
    QVERIFY(text.contains(QLatin1String("\r\n\t\tTABLE: group")));
    QVERIFY(!text.contains(QLatin1String("\t\tTABLE: customers")));
    QVERIFY(text.contains(QLatin1String("TOTAL NUMBER OF INSTANCES FOUND: 1")));
}

void BatchToolTest::exitStatuses_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("errors");

    const QString plain = QStringLiteral("--object=plain");
    const QString failed = QStringLiteral("\t\tVIEW: broken - failed: [SQLite]integer overflow");
    const QString gapWarning =
        QStringLiteral("zindrel-batch: warning: some objects could not be searched; they are listed above.");
    QTest::newRow("found, everything searched")
        << QStringList{plain, "--text=needle"} << 0 << QStringList{"OBJECTS READ: 1 of 1\nROWS READ: 1\n"};
    // The server sends no row that cannot hold the text.
    QTest::newRow("nothing found, everything searched")
        << QStringList{plain, "--text=absent-0815"} << 1
        << QStringList{"OBJECTS READ: 1 of 1\nROWS READ: 0\n", "\t\t1 object - filtered by the server"};
    QTest::newRow("found, but a view failed")
        << QStringList{"--text=needle"} << 0 << QStringList{"OBJECTS READ: 1 of 2\n", failed, gapWarning};
    QTest::newRow("nothing found, but a view failed")
        << QStringList{"--text=absent-0815"} << 3
        << QStringList{"OBJECTS READ: 1 of 2\n", failed, gapWarning};
    QTest::newRow("columns all ignored by the user are no gap")
        << QStringList{plain, "--text=absent-0815", "--ignore-column=V"} << 1
        << QStringList{"OBJECTS READ: 0 of 1\n", "\t\tTABLE: plain - every column is ignored"};
    QTest::newRow("an object name that names nothing")
        << QStringList{plain, "--object=plian", "--text=needle"} << 2
        << QStringList{"zindrel-batch: --object plian: the data source holds no object of that name; nothing "
                       "was searched."};
    QTest::newRow("a search text of bars only")
        << QStringList{"--text=||"} << 2
        << QStringList{"zindrel-batch: The search text holds only \"|\", which separates alternatives: there "
                       "is nothing to search for. To search for a bar, write \\|."};
}

// A scratch database with a table that holds the needle and a view whose rows cannot be computed
// (the absolute value overflows): the view fails, and the search goes on and says so.
void BatchToolTest::exitStatuses()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QStringList, errors);
    const QString database = m_dir.filePath(QStringLiteral("broken.sqlite"));
    if (!QFile::exists(database)) {
        QProcess sqlite;
        sqlite.start(QStringLiteral("sqlite3"),
                     {database, QStringLiteral("CREATE TABLE plain (v TEXT); INSERT INTO plain VALUES ('the "
                                               "needle is here'); CREATE VIEW broken AS "
                                               "SELECT abs(-9223372036854775807 - 1) AS a;")});
        if (!sqlite.waitForFinished() || sqlite.exitCode() != 0)
            QSKIP("the sqlite3 shell is needed to build the scratch database");
    }

    const ToolResult result = RunTool(QStringList{QStringLiteral("--connect"),
                                                  QStringLiteral("DRIVER=SQLite3;Database=") + database,
                                                  QStringLiteral("--in"), QStringLiteral("data")} +
                                      arguments);
    QVERIFY2(result.exitCode == exitCode, result.err.constData());
    const QString stderrText = QString::fromUtf8(result.err);
    for (const QString& error : errors)
        QVERIFY2(stderrText.contains(error), qPrintable(stderrText));
    // What standard error lists, the report lists too, before its total.
    if (exitCode != 2) {
        const QString report = QString::fromUtf8(result.out);
        QVERIFY2(report.contains(QStringLiteral("\r\n\r\n\r\nOBJECTS READ: ")), qPrintable(report));
        QCOMPARE(report.contains(QLatin1String("VIEW: broken - failed: ")),
                 stderrText.contains(QLatin1String("VIEW: broken - failed: ")));
        QVERIFY(report.contains(QLatin1String("TOTAL NUMBER OF INSTANCES FOUND: ")));
    } else {
        QVERIFY(result.out.isEmpty());
    }
}

// A scratch table long enough to be still running when the signal comes.
void BatchToolTest::terminateStopsTheRunAndKeepsTheReport()
{
    const QString database = m_dir.filePath(QStringLiteral("long.sqlite"));
    QProcess sqlite;
    sqlite.start(
        QStringLiteral("sqlite3"),
        {database, QStringLiteral("CREATE TABLE t (id INTEGER, v TEXT); INSERT INTO t WITH RECURSIVE "
                                  "n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300000) "
                                  "SELECT i, 'row ' || i FROM n;")});
    if (!sqlite.waitForFinished() || sqlite.exitCode() != 0)
        QSKIP("the sqlite3 shell is needed to build the scratch database");

    QProcess tool;
    tool.setChildProcessModifier([] { ::setsid(); });
    tool.start(QStringLiteral(ZINDREL_BATCH),
               {QStringLiteral("--connect"), QStringLiteral("DRIVER=SQLite3;Database=") + database,
                QStringLiteral("--text"), QStringLiteral("row"), QStringLiteral("--in"),
                QStringLiteral("data")});
    // Every row matches, so the report flows as soon as the data search reads.
    QVERIFY(tool.waitForReadyRead(60000));
    tool.terminate();
    QVERIFY(tool.waitForFinished(60000));
    QCOMPARE(tool.exitStatus(), QProcess::NormalExit);
    QCOMPARE(tool.exitCode(), 2);
    const QByteArray out = tool.readAllStandardOutput();
    QVERIFY2(out.endsWith("\r\n\r\nZindrel Stopped ..."), out.right(200).constData());
    QVERIFY(!out.contains("TOTAL NUMBER OF INSTANCES FOUND"));
    QVERIFY(tool.readAllStandardError().contains("the search was stopped before it finished"));
}

void BatchToolTest::terminateCancelsABlockedSelect_data()
{
    QTest::addColumn<QString>("source");
    for (const char* source : {"sqlite", "postgres", "mariadb"})
        QTest::newRow(source) << QString::fromLatin1(source);
}

// The signal comes while the driver waits on the server; the lock is held until the tool has ended.
void BatchToolTest::terminateCancelsABlockedSelect()
{
    QFETCH(QString, source);
    VELKARO_REQUIRE_DATA_SOURCE(testDataSource(source));
    QTemporaryDir folder;
    BlockedObject blocked;
    QVERIFY(blocked.lock(source, folder.path()));
    QStringList arguments = source == QLatin1String("sqlite")
                                ? QStringList{QStringLiteral("--connect"), blocked.connectString()}
                                : ConnectArguments(testDataSource(source));
    arguments << QStringLiteral("--text") << QStringLiteral("needle-4711") << QStringLiteral("--in")
              << QStringLiteral("data");
    for (const QString& object : blocked.objects())
        arguments << QStringLiteral("--object") << object;
    QProcess tool;
    tool.setChildProcessModifier([] { ::setsid(); });
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ZINDREL_PASSWORD"), QString::fromLatin1(kPassword));
    tool.setProcessEnvironment(environment);
    tool.start(QStringLiteral(ZINDREL_BATCH), arguments);
    QVERIFY(tool.waitForStarted());
    QVERIFY(blocked.waitUntilWaiting());
    QVERIFY2(tool.state() == QProcess::Running, tool.readAllStandardError().constData());
    tool.terminate();
    const bool endedWhileBlocked = tool.waitForFinished(10000);
    blocked.release();
    if (!endedWhileBlocked)
        tool.waitForFinished(120000);
    QVERIFY(endedWhileBlocked);
    QCOMPARE(tool.exitStatus(), QProcess::NormalExit);
    QCOMPARE(tool.exitCode(), 2);
    const QByteArray out = tool.readAllStandardOutput();
    QVERIFY2(out.endsWith("\r\n\r\nZindrel Stopped ..."), out.right(300).constData());
    QVERIFY(!out.contains("The following error was received"));
}

void BatchToolTest::failures_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");

    QTest::newRow("bad option") << QStringList{QStringLiteral("--dsn"),   QStringLiteral("ShopSQLite"),
                                               QStringLiteral("--text"),  QStringLiteral("x"),
                                               QStringLiteral("--match"), QStringLiteral("fuzzy")}
                                << "--match takes any|word|prefix|suffix";
    QTest::newRow("unknown data source")
        << QStringList{QStringLiteral("--dsn"), QStringLiteral("NoSuchSource"), QStringLiteral("--text"),
                       QStringLiteral("x")}
        << "could not connect to DSN=NoSuchSource";
    QTest::newRow("report file in a missing folder")
        << QStringList{QStringLiteral("--dsn"),    QStringLiteral("ShopSQLite"),
                       QStringLiteral("--text"),   QStringLiteral("x"),
                       QStringLiteral("--output"), QStringLiteral("/nonexistent/dir/r.txt")}
        << "cannot write /nonexistent/dir/r.txt";
    QTest::newRow("rich-text file in a missing folder")
        << QStringList{QStringLiteral("--dsn"),  QStringLiteral("ShopSQLite"),
                       QStringLiteral("--text"), QStringLiteral("x"),
                       QStringLiteral("--rtf"),  QStringLiteral("/nonexistent/dir/r.rtf")}
        << "cannot write /nonexistent/dir/r.rtf";
    QTest::newRow("full disk") << QStringList{QStringLiteral("--dsn"),    QStringLiteral("ShopSQLite"),
                                              QStringLiteral("--text"),   QStringLiteral("x"),
                                              QStringLiteral("--output"), QStringLiteral("/dev/full")}
                               << "cannot write /dev/full";
}

void BatchToolTest::failures()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    const ToolResult result = RunTool(arguments);
    QCOMPARE(result.exitCode, 2);
    QVERIFY2(QString::fromUtf8(result.err).contains(message), result.err.constData());
    QVERIFY(result.out.isEmpty());
}

// Neither can be emptied first: a device that takes everything, and a pipe read by another program.
void BatchToolTest::writesToADeviceAndAPipe()
{
    const TestDataSource& source = testDataSource(QStringLiteral("sqlite"));
    VELKARO_REQUIRE_DATA_SOURCE(source);
    const QStringList search =
        ConnectArguments(source) + QStringList{QStringLiteral("--text"), QStringLiteral("needle-4711"),
                                               QStringLiteral("--in"), QStringLiteral("data")};
    const ToolResult discarded =
        RunTool(search + QStringList{QStringLiteral("--output"), QStringLiteral("/dev/null")});
    QVERIFY2(discarded.exitCode == 0, discarded.err.constData());

    const QString fifo = m_dir.filePath(QStringLiteral("report.fifo"));
    QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
    QProcess reader;
    reader.start(QStringLiteral("cat"), {fifo});
    QVERIFY(reader.waitForStarted());
    const ToolResult piped = RunTool(search + QStringList{QStringLiteral("--output"), fifo});
    QVERIFY(reader.waitForFinished());
    QVERIFY2(piped.exitCode == 0, piped.err.constData());
    QVERIFY(reader.readAllStandardOutput().contains("TOTAL NUMBER OF INSTANCES FOUND: "));
}

// No password in the environment and no terminal to ask on.
void BatchToolTest::aLoginNotGivenSaysHowToGiveIt()
{
    const TestDataSource& source = testDataSource(QStringLiteral("postgres"));
    VELKARO_REQUIRE_DATA_SOURCE(source);
    const ToolResult result = RunTool(
        ConnectArguments(source) + QStringList{QStringLiteral("--text"), QStringLiteral("x")}, QString());
    QCOMPARE(result.exitCode, 2);
    QVERIFY2(
        result.err.contains("could not connect to DSN=ShopPostgres;UID=velkaro: the data source asks for a "
                            "login, and none was given (set ZINDREL_PASSWORD"),
        result.err.constData());
}

void BatchToolTest::wrongPasswordIsRefusedWithoutShowingIt()
{
    const TestDataSource& source = testDataSource(QStringLiteral("postgres"));
    VELKARO_REQUIRE_DATA_SOURCE(source);
    const QString wrong = QStringLiteral("not-the-password-31337");
    ToolResult result =
        RunTool(ConnectArguments(source) + QStringList{QStringLiteral("--text"), QStringLiteral("x")}, wrong);
    QCOMPARE(result.exitCode, 2);
    QVERIFY2(result.err.contains("could not connect"), result.err.constData());
    QVERIFY(!result.err.contains(wrong.toUtf8()));
    QVERIFY(result.out.isEmpty());

    // No password at all, and no terminal to ask on.
    result = RunTool(ConnectArguments(source) + QStringList{QStringLiteral("--text"), QStringLiteral("x")},
                     QString());
    QCOMPARE(result.exitCode, 2);
    QVERIFY(result.out.isEmpty());
}

void BatchToolTest::unreachableSourceLeavesTheLastReport()
{
    const QString textFile = m_dir.filePath(QStringLiteral("kept.txt"));
    QFile previous(textFile);
    QVERIFY(previous.open(QIODevice::WriteOnly));
    previous.write("yesterday's report");
    previous.close();
    const ToolResult result =
        RunTool({QStringLiteral("--dsn"), QStringLiteral("NoSuchSource"), QStringLiteral("--text"),
                 QStringLiteral("x"), QStringLiteral("--output"), textFile});
    QCOMPARE(result.exitCode, 2);
    QCOMPARE(ReadAll(textFile), QByteArray("yesterday's report"));
}

QTEST_MAIN(BatchToolTest)
#include "BatchToolTest.moc"

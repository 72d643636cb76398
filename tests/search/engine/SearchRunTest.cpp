#include "search/engine/SearchRun.h"

#include "RecordingPrompt.h"
#include "RecordingSearchHost.h"
#include "TestDataSources.h"
#include "catalog/CDbSession.h"
#include "catalog/ObjectCatalogCall.h"
#include "catalog/OdbcStatement.h"
#include "search/engine/DirectReportWriter.h"
#include "search/engine/PadColumn.h"
#include "search/engine/ReportDocument.h"
#include "search/engine/RunCoverage.h"

#include <QDebug>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <sqlext.h>

using namespace velkaro;

namespace {

// Every table of the sample that holds a planted value, and the value that finds it.
const QString kPlantedValues =
    QStringLiteral("needle-4711|closed in 2019|1234.5|1:02.345|CamelValue|Zwölf|2020-01-31");

SearchParameters Parameters(const QString& searchText, const QString& reportFile)
{
    SearchParameters parameters;
    parameters.AcceptSearchText(searchText);
    parameters.outputMode = OutputMode::CompleteToFile;
    parameters.reportFileName = reportFile;
    return parameters;
}

// One run through the engine on the calling thread, its report written to a file.
struct EngineRun
{
    test::RecordingPrompt prompt;
    CDbSession session{SessionVariant::Search};
    ReportDocument document{prompt};
    DirectReportWriter writer{document};
    test::RecordingSearchHost host;
    QString reportText;
    int instances = -1;
    bool objectsLoaded = false;
    bool gaps = false;

    bool connect(const test::TestDataSource& source)
    {
        return session.ConnectByString(source.connectString, prompt);
    }

    // The sample of that key; on PostgreSQL the object list holds the schema twin by itself.
    bool openSample(const QString& key) { return connect(test::testDataSource(key)); }

    void run(const SearchParameters& parameters, const QStringList& filter = {})
    {
        SearchRun searchRun(session, parameters, writer, host);
        searchRun.SetObjectFilter(filter);
        searchRun.SetObjectsLoaded(objectsLoaded);
        searchRun.RunSearch();
        instances = searchRun.InstancesFound();
        gaps = searchRun.Coverage().HasGaps();
        QFile file(parameters.reportFileName);
        if (!parameters.reportFileName.isEmpty() && file.open(QIODevice::ReadOnly))
            reportText = QString::fromUtf8(file.readAll());
    }
};

QString DataHeading(const QString& object)
{
    return "\r\n\r\n\r\nInstances found in data from TABLE " + object + "\r\n\r\n";
}

// The type and name of each object whose statement failed.
QStringList FailedObjects(const QString& report)
{
    static const QRegularExpression failure(
        "The following error was received while processing ([A-Z ]+) (.+) in database ");
    QStringList objects;
    for (const QRegularExpressionMatch& match : failure.globalMatch(report))
        objects.append(match.captured(1) + ": " + match.captured(2));
    return objects;
}

// Runs the statements one after the other on the session; false, with a warning, at the first
// that fails.
bool Execute(CDbSession& session, const QStringList& statements)
{
    for (const QString& sql : statements) {
        SQLHSTMT statement = SQL_NULL_HSTMT;
        const QString error = session.ExecuteQuery(statement, sql);
        session.CloseQuery(statement);
        if (!error.isEmpty()) {
            qWarning() << sql << error;
            return false;
        }
    }
    return true;
}

// Notes where the data bar stands when an object's data heading is written, that is while the
// object is being read.
class BarAtHeadingWriter final : public ReportWriter
{
public:
    explicit BarAtHeadingWriter(const test::RecordingSearchHost& host) : m_host(host) {}
    void OpenOutputFile() override {}
    void FinishOutput() override {}
    QList<int> positions;

protected:
    void ResetDocument(const ReportOptions&) override {}
    void Write(const QList<ReportPiece>& pieces, bool) override
    {
        if (pieces.constFirst().text.startsWith("\r\n\r\n\r\nInstances found in data from "))
            positions.append(m_host.progress(SearchProgressBar::Data));
    }

private:
    const test::RecordingSearchHost& m_host;
};

} // namespace

class SearchRunTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(m_dir.isValid()); }

    void findsPlantedValuesInEveryObject_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QStringList>("tables");
        const QStringList common{"group", "Order Archive", "sales-2025", "2fast", "MixedCase", "Größe"};
        QTest::newRow("sqlite") << "sqlite" << (common + QStringList{"customers"});
        QTest::newRow("postgres") << "postgres"
                                  << (common + QStringList{"public.customers", "archive.customers"});
        QTest::newRow("mariadb") << "mariadb" << (common + QStringList{"customers"});
    }

    void findsPlantedValuesInEveryObject()
    {
        QFETCH(QString, key);
        QFETCH(QStringList, tables);
        const test::TestDataSource& source = test::testDataSource(key);
        VELKARO_REQUIRE_DATA_SOURCE(source);
        EngineRun run;
        QVERIFY(run.openSample(key));

        run.run(Parameters(kPlantedValues, m_dir.filePath("report.txt")));

        const QString& report = run.reportText;
        // The run goes on past objects it may not read; here only system views are such.
        for (const QString& failed : FailedObjects(report))
            QVERIFY2(failed.startsWith("SYSTEM VIEW: "), qPrintable(failed));
        for (const QString& table : tables)
            QVERIFY2(report.contains(DataHeading(table)), qPrintable(table + " not found in\n" + report));
        QVERIFY(report.contains("asked about needle-4711 twice"));
        QVERIFY(report.contains("needle-4711 in a reserved table"));
        QVERIFY(run.instances >= tables.size());
        const QRegularExpression summary(
            QString("TOTAL NUMBER OF INSTANCES FOUND: %1\r\n\r\n--- End of Zindrel --- Elapsed Time: "
                    "\\d\\d:\\d\\d:\\d\\d ---$")
                .arg(run.instances));
        QVERIFY2(summary.match(report).hasMatch(), qPrintable(report.right(200)));
        QCOMPARE(run.host.titles(),
                 QStringList({"Analyzing Database - Zindrel", "Searching Object Names - Zindrel",
                              "Searching Columns and Data Types - Zindrel", "Searching Indexes - Zindrel",
                              "Searching Data - Zindrel", "Finished - Zindrel", "Ready - Zindrel"}));
        QCOMPARE(run.host.messages(), QStringList{"Zindrel has finished searching the database"});
        QCOMPARE(run.host.runsEnded(), 1);
    }

    // Column and index names are read for each object alone: "stock_item" is no pattern that also
    // finds "stockXitem", and a schema twin keeps its own columns.
    void nameSearchesKeepObjectsApart_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("customers");
        QTest::newRow("sqlite") << "sqlite"
                                << "customers";
        QTest::newRow("postgres") << "postgres"
                                  << "public.customers";
        QTest::newRow("mariadb") << "mariadb"
                                 << "customers";
    }

    void nameSearchesKeepObjectsApart()
    {
        QFETCH(QString, key);
        QFETCH(QString, customers);
        const test::TestDataSource& source = test::testDataSource(key);
        VELKARO_REQUIRE_DATA_SOURCE(source);
        EngineRun run;
        QVERIFY(run.openSample(key));
        SearchParameters parameters =
            Parameters("other_label|customers_email_ux|archived_at", m_dir.filePath("names.txt"));
        parameters.searchData = false;

        run.run(parameters);

        const QString& report = run.reportText;
        QVERIFY(report.contains("Types\r\n\r\nOBJECT NAME                         COLUMN                     "
                                "         TYPE                                   _\r\n"));
        QVERIFY(report.contains("Columns\r\n\r\nOBJECT NAME                         INDEX                    "
                                "           COLUMN                                   _\r\n"));
        QVERIFY2(report.contains("\r\n\r\n\r\nInstances found in Column Names and/or Data Types\r\n"),
                 qPrintable(report));
        QVERIFY2(
            report.contains("\r\n" + PadColumn("stockXitem", 36, true) + PadColumn("other_label", 36, true)),
            qPrintable(report));
        QVERIFY2(!report.contains(PadColumn("stock_item", 36, true)), qPrintable(report));
        QVERIFY2(!report.contains(PadColumn(customers, 36, true) + PadColumn("archived_at", 36, true)),
                 qPrintable(report));
        if (key == "postgres")
            QVERIFY2(report.contains(PadColumn("archive.customers", 36, true) +
                                     PadColumn("archived_at", 36, true)),
                     qPrintable(report));
        QVERIFY2(report.contains("\r\n\r\n\r\nInstances found in Index Names and/or Columns\r\n"),
                 qPrintable(report));
        QVERIFY2(report.contains(PadColumn(customers, 36, true) + PadColumn("customers_email_ux", 36, true) +
                                 PadColumn("email", 36, true) + "\r\n"),
                 qPrintable(report));
        QVERIFY(!report.contains("ERROR"));
        // Tables without indexes answer with no rows, which is no failure.
        QVERIFY(!report.contains("error ocurred"));
    }

    // With no search at all the run still reads the list, reports the objects it left out, and
    // sums up.
    void runWithoutSearchesListsObjectsLeftOut()
    {
        const test::TestDataSource& source = test::testDataSource("sqlite");
        VELKARO_REQUIRE_DATA_SOURCE(source);
        EngineRun run;
        QVERIFY(run.connect(source));
        SearchParameters parameters = Parameters("needle-4711", m_dir.filePath("none.txt"));
        parameters.searchObjectNames = parameters.searchColumnNames = parameters.searchDataTypes = false;
        parameters.searchIndexes = parameters.searchData = false;

        run.run(parameters, {"group", "2fast", "customers", "orders", "order_lines", "order_totals",
                             "products", "stock_item", "stockXitem", "sales-2025", "MixedCase", "warehouses",
                             "staff", "shipments", "stock_counts"});

        const QString name = run.session.DisplayName();
        const QRegularExpression expected(
            QRegularExpression::escape("DATABASE :  " + name + "\r\n\r\nSEARCHING FOR :  needle-4711" +
                                       "\r\n\r\n\r\n17 objects were found in " + name +
                                       "\r\n\r\n\r\nThe following objects were not processed in " + name +
                                       "\r\n\r\n\t\tTABLE: Order Archive\r\n\t\tTABLE: Größe" +
                                       "\r\n\r\n\r\nThe following objects were not searched in " + name +
                                       "\r\n\r\n\t\t2 objects - left out by the object list" +
                                       "\r\n\r\n\r\nTOTAL NUMBER OF INSTANCES FOUND: 0" +
                                       "\r\n\r\n--- End of Zindrel --- Elapsed Time: ") +
            "\\d\\d:\\d\\d:\\d\\d ---");
        QVERIFY2(expected.match(run.reportText).hasMatch(), qPrintable(run.reportText));
        QCOMPARE(run.instances, 0);
        QCOMPARE(run.host.objectList().size(), 15);
    }

    // An owner that holds nothing of that name passes the call on to the next owner; the last
    // owner's answer stands, rows or not.
    void catalogCallTriesTheNextOwner_data()
    {
        QTest::addColumn<QStringList>("owners");
        QTest::addColumn<QStringList>("asked");
        QTest::addColumn<bool>("rows");
        QTest::newRow("owner without the table, then any")
            << QStringList{"no_such_owner", ""} << QStringList{"no_such_owner", ""} << true;
        QTest::newRow("the owner that holds it answers first")
            << QStringList{"public", "no_such_owner"} << QStringList{"public"} << true;
        QTest::newRow("no owner holds it")
            << QStringList{"no_such_owner"} << QStringList{"no_such_owner"} << false;
    }

    void catalogCallTriesTheNextOwner()
    {
        QFETCH(QStringList, owners);
        QFETCH(QStringList, asked);
        QFETCH(bool, rows);
        const test::TestDataSource& source = test::testDataSource("postgres");
        VELKARO_REQUIRE_DATA_SOURCE(source);
        EngineRun run;
        QVERIFY(run.connect(source));
        OdbcStatement statement(run.session.Hdbc());
        QByteArray table("stock\\_item");
        QStringList called;

        const ObjectCatalogCall call =
            ObjectCatalogCall::Open(statement, owners, [&](const QString& ownerName) {
                called.append(ownerName);
                QByteArray owner = ownerName.toUtf8();
                return SQLColumns(statement.Handle(), nullptr, 0, OdbcStatement::Argument(owner),
                                  OdbcStatement::ArgumentLength(owner), OdbcStatement::Argument(table),
                                  SQL_NTS, nullptr, 0);
            });

        QVERIFY(call.succeeded);
        QCOMPARE(call.firstFetch == SQL_SUCCESS, rows);
        QCOMPARE(called, asked);
        if (rows)
            QCOMPARE(statement.Text(4), "item_id");
    }

    // An ignored column is neither reported nor selected: its values are not searched.
    void ignoredColumnIsNotRead()
    {
        const test::TestDataSource& source = test::testDataSource("sqlite");
        VELKARO_REQUIRE_DATA_SOURCE(source);
        EngineRun run;
        QVERIFY(run.connect(source));
        SearchParameters parameters = Parameters("needle-4711|notes", m_dir.filePath("ignored.txt"));
        parameters.ignoredColumnPatterns = {"NOTES"};

        run.run(parameters);

        QVERIFY2(!run.reportText.contains(DataHeading("customers")), qPrintable(run.reportText));
        QVERIFY(!run.reportText.contains("Instances found in Column Names"));
        QVERIFY(run.reportText.contains(DataHeading("group")));
    }

    void coverageListsTheObjectThatFailed_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("failed");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("rowsRead");
        const QString overflow = QStringLiteral("integer overflow");
        QTest::newRow("sqlite: a view that fails at once") << "sqlite"
                                                           << "VIEW: broken" << overflow << "1";
        // Read step by step, the third row fails after two were read.
        QTest::newRow("sqlite: a view that fails after two rows") << "sqlite-steps"
                                                                  << "VIEW: stepwise" << overflow << "3";
        QTest::newRow("postgres: a table another session holds") << "postgres"
                                                                 << "TABLE: products"
                                                                 << "lock timeout" << QString();
        QTest::newRow("mariadb: a table another session holds") << "mariadb"
                                                                << "TABLE: products"
                                                                << "Lock wait timeout" << QString();
    }

    // One object fails; the others are read, and the list before the total says which one failed
    // and why.
    void coverageListsTheObjectThatFailed()
    {
        QFETCH(QString, key);
        QFETCH(QString, failed);
        QFETCH(QString, message);
        QFETCH(QString, rowsRead);
        EngineRun run;
        CDbSession holder(SessionVariant::Search);
        QStringList filter;
        if (key.startsWith("sqlite")) {
            const bool steps = key == "sqlite-steps";
            const QString path = m_dir.filePath(key + ".db");
            QVERIFY(run.session.ConnectByString(
                "Driver=SQLite3;Database=" + path + (steps ? ";StepAPI=1" : ""), run.prompt));
            QVERIFY(Execute(run.session,
                            {"create table plain (v text)", "insert into plain values ('needle here')",
                             steps ? "create view stepwise as select case when n = 3 then "
                                     "abs(-9223372036854775807 - 1) else n end as v from (select 1 as n "
                                     "union all select 2 union all select 3)"
                                   : "create view broken as select abs(-9223372036854775807 - 1) as a"}));
        } else {
            const test::TestDataSource& source = test::testDataSource(key);
            VELKARO_REQUIRE_DATA_SOURCE(source);
            // Another session holds the table until the end of the test; the run waits a second.
            // On PostgreSQL the wait is set at connect, where every connection of the run gets it.
            const bool postgres = key == "postgres";
            QVERIFY(postgres
                        ? run.session.ConnectByString(
                              source.connectString + ";ConnSettings=SET lock_timeout TO 1000", run.prompt)
                        : run.connect(source));
            QVERIFY(holder.ConnectByString(source.connectString, run.prompt));
            QVERIFY(Execute(holder, postgres ? QStringList{"BEGIN", "LOCK TABLE public.products IN ACCESS "
                                                                    "EXCLUSIVE MODE"}
                                             : QStringList{"LOCK TABLES products WRITE"}));
            if (!postgres)
                QVERIFY(Execute(run.session, {"SET SESSION lock_wait_timeout = 1"}));
            // The archive schema of the PostgreSQL sample holds a second customers table.
            filter = postgres ? QStringList{"public.customers", "public.products"}
                              : QStringList{"customers", "products"};
        }

        SearchParameters parameters = Parameters("needle", m_dir.filePath(key + ".txt"));
        // The server would test the third row of the view, and fail on it, before sending any.
        parameters.serverFilter = key != "sqlite-steps";
        run.run(parameters, filter);

        const QString& report = run.reportText;
        QVERIFY2(report.contains("\r\n\r\n\r\nOBJECTS READ: 1 of 2\r\nROWS READ: " + rowsRead),
                 qPrintable(report));
        const QString list = "\r\n\r\n\r\nThe following objects were not searched in " +
                             run.session.DisplayName() + "\r\n\r\n\t\t" + failed + " - failed: ";
        const qsizetype at = report.indexOf(list);
        QVERIFY2(at > 0, qPrintable(report));
        QVERIFY2(report.indexOf(message, at) > at, qPrintable(report.mid(at)));
        QVERIFY(report.indexOf("\r\n\r\n\r\nTOTAL NUMBER OF INSTANCES FOUND: ", at) > at);
        QVERIFY(run.gaps);
    }

    // The bar steps once an object has been read: while the last one is read it is not full yet.
    void dataBarIsFullOnlyAfterTheLastObject()
    {
        EngineRun run;
        QVERIFY(
            run.session.ConnectByString("Driver=SQLite3;Database=" + m_dir.filePath("bar.db"), run.prompt));
        QVERIFY(
            Execute(run.session, {"create table first (v text)", "insert into first values ('needle 1')",
                                  "create table second (v text)", "insert into second values ('needle 2')"}));
        SearchParameters parameters;
        parameters.AcceptSearchText("needle");
        BarAtHeadingWriter writer(run.host);
        SearchRun(run.session, parameters, writer, run.host).RunSearch();
        QCOMPARE(writer.positions, (QList<int>{0, 1}));
        QCOMPARE(run.host.progress(SearchProgressBar::Data), 2);
    }

    // Names and values are report text, never markup; a quote inside a name is doubled in the
    // statement; a catalog of one object says so.
    void oneObjectWithMarkupAndQuotes()
    {
        EngineRun run;
        QVERIFY(CreateMarkupDatabase(run, m_dir.filePath("markup.db")));
        SearchParameters parameters;
        parameters.AcceptSearchText("needle-4711");

        run.run(parameters);

        const QString text = run.document.Document().toPlainText();
        QVERIFY2(text.contains(" object was found in "), qPrintable(text));
        QVERIFY2(text.contains("Instances found in data from TABLE <b>x</b>"), qPrintable(text));
        QVERIFY(text.contains("say \"hi\""));
        QVERIFY(text.contains("needle-4711 <i>y</i>"));
        QVERIFY(!text.contains("The following error"));
        QCOMPARE(run.instances, 1);
    }

    // An object whose columns are all left out is passed over; the instances found elsewhere
    // still count in full.
    void ignoredColumnsTakeNothingOffTheTotal()
    {
        EngineRun run;
        QVERIFY(CreateMarkupDatabase(run, m_dir.filePath("ignored.db")));
        SearchParameters parameters;
        parameters.AcceptSearchText("<b>");
        parameters.ignoredColumnPatterns = {"%"};

        run.run(parameters);

        const QString text = run.document.Document().toPlainText();
        QVERIFY2(text.contains("Instances found in Object Names"), qPrintable(text));
        QVERIFY(!text.contains("Instances found in data"));
        QVERIFY(text.contains("TOTAL NUMBER OF INSTANCES FOUND: 1"));
        QCOMPARE(run.instances, 1);
    }

private:
    // A fresh SQLite file with one table whose names hold markup and a quote character.
    static bool CreateMarkupDatabase(EngineRun& run, const QString& path)
    {
        if (!run.session.ConnectByString("Driver=SQLite3;Database=" + path, run.prompt))
            return false;
        for (const QString& sql :
             {QString("create table \"<b>x</b>\" (\"say \"\"hi\"\"\" text, note text)"),
              QString("insert into \"<b>x</b>\" values ('hello', 'needle-4711 <i>y</i>')")}) {
            SQLHSTMT statement = SQL_NULL_HSTMT;
            const QString error = run.session.ExecuteQuery(statement, sql);
            run.session.CloseQuery(statement);
            if (!error.isEmpty()) {
                qWarning() << error;
                return false;
            }
        }
        return true;
    }

    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(SearchRunTest)
#include "SearchRunTest.moc"

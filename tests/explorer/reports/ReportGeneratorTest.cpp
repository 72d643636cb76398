#include "explorer/reports/ReportGenerator.h"

#include "ReportTestSession.h"
#include "explorer/reports/ReportFileSink.h"
#include "tests/support/TestDataSources.h"

#include <QRegularExpression>
#include <QTest>
#include <atomic>

using namespace velkaro;
using namespace velkaro::test;

Q_DECLARE_METATYPE(velkaro::ReportSections)

namespace {

const QByteArray kFixture = R"(
CREATE TABLE parent (pid INTEGER NOT NULL PRIMARY KEY, label VARCHAR(20));
CREATE TABLE child (cid INTEGER NOT NULL PRIMARY KEY, parent_id INTEGER REFERENCES parent (pid));
CREATE TABLE t1 (x INTEGER);
CREATE TABLE t2 (x INTEGER);
CREATE TABLE t3 (x INTEGER);
CREATE TABLE t4 (x INTEGER);
CREATE TABLE t5 (x INTEGER);
)";

const QStringList kTitle{QStringLiteral("VELKARO OBJECTS REPORT"), QString(), QString()};

ColumnRecord column(const QString& name, const QString& type, const QString& size, const QString& nullability)
{
    return {name, type, nullability, QStringLiteral("10"), size, QString()};
}

// Objects as the loader builds them, with the widths it computes (UTF-16 units).
void addHandMadeObjects(ReportTestSession& fixture)
{
    ObjectRecord& people = fixture.AddObject(QStringLiteral("people"), QStringLiteral("TABLE"));
    people.SetColumns(
        {{column(QStringLiteral("ID"), QStringLiteral("INTEGER"), QString(), QStringLiteral("NOT NULL")),
          column(QStringLiteral("NAME"), QStringLiteral("VARCHAR"), QStringLiteral("50"),
                 QStringLiteral("NULL"))},
         4,
         12});
    people.SetIndexes(
        {{{QStringLiteral("people_ix"), QStringLiteral("NOT UNIQUE "), {QStringLiteral("NAME")}},
          {QStringLiteral("people_pk"), QStringLiteral("UNIQUE "), {QStringLiteral("ID")}}},
         9});
    ObjectRecord& wide = fixture.AddObject(QStringLiteral("Größe"), QStringLiteral("SYSTEM TABLE"));
    wide.SetColumns(
        {{column(QStringLiteral("Maß"), QStringLiteral("VARCHAR"), QStringLiteral("40"),
                 QStringLiteral("NULL")),
          column(QStringLiteral("𝔸rt"), QStringLiteral("INTEGER"), QString(), QStringLiteral("NOT NULL"))},
         4,
         12});
    fixture.AddObject(QStringLiteral("bare"), QStringLiteral("VIEW"), QString(),
                      QStringLiteral("Nothing loaded"));
    // A view named like the keyed table, in another schema: both are reported, only the table with keys.
    ObjectRecord& view =
        fixture.AddObject(QStringLiteral("parent"), QStringLiteral("VIEW"), QStringLiteral("views"));
    view.SetColumns(
        {{column(QStringLiteral("pid"), QStringLiteral("INTEGER"), QString(), QStringLiteral("NULL"))},
         3,
         10});
}

// Clears the continue flag once a number of lines has been written.
class CancellingSink final : public ReportLineSink
{
public:
    CancellingSink(ReportLineSink& inner, std::atomic<int>& continueFlag, int cancelAfter)
        : m_inner(inner), m_continue(continueFlag), m_cancelAfter(cancelAfter)
    {}
    bool Open(UserPrompt& prompt) override { return m_inner.Open(prompt); }
    bool EmitLine(const QString& text, bool bold) override
    {
        if (++m_lines == m_cancelAfter)
            m_continue.store(0);
        return m_inner.EmitLine(text, bold);
    }
    bool Close(UserPrompt& prompt) override { return m_inner.Close(prompt); }

private:
    ReportLineSink& m_inner;
    std::atomic<int>& m_continue;
    int m_cancelAfter;
    int m_lines = 0;
};

} // namespace

class ReportGeneratorTest final : public QObject
{
    Q_OBJECT

private:
    bool openFixture(ReportTestSession& fixture)
    {
        QString problem;
        if (!fixture.OpenSqlite(kFixture, problem)) {
            qWarning("%s", qPrintable(problem));
            return false;
        }
        return true;
    }

private slots:
    void sections_data()
    {
        QTest::addColumn<QStringList>("chosen");
        QTest::addColumn<ReportSections>("sections");
        QTest::addColumn<bool>("inUse");
        QTest::addColumn<QStringList>("expected");

        const ReportSections all;
        const ReportSections columnsOnly{true, false, false, false};
        const ReportSections keysOnly{false, false, true, true};
        const ReportSections foreignOnly{false, false, false, true};
        QTest::newRow("ID and NAME padded to the widest name and type")
            << QStringList{QStringLiteral("people")} << columnsOnly << false
            << QStringList{QStringLiteral("Table:"),
                           QStringLiteral("      people"),
                           QString(),
                           QStringLiteral("Columns:"),
                           QStringLiteral("      ID     INTEGER        NOT NULL"),
                           QStringLiteral("      NAME   VARCHAR(50)    "),
                           QString()};
        QTest::newRow("index names padded, their columns below")
            << QStringList{QStringLiteral("people")} << ReportSections{false, true, false, false} << false
            << QStringList{QStringLiteral("Table:"),
                           QStringLiteral("      people"),
                           QString(),
                           QStringLiteral("Indexes:"),
                           QStringLiteral("      people_ix         NOT UNIQUE "),
                           QStringLiteral("            NAME"),
                           QStringLiteral("      people_pk         UNIQUE "),
                           QStringLiteral("            ID"),
                           QString()};
        QTest::newRow("names beyond ASCII padded by characters, two-word type")
            << QStringList{QStringLiteral("Größe")} << columnsOnly << false
            << QStringList{QStringLiteral("System table:"),
                           QStringLiteral("      Größe"),
                           QString(),
                           QStringLiteral("Columns:"),
                           QStringLiteral("      Maß    VARCHAR(40)    "),
                           QStringLiteral("      𝔸rt    INTEGER        NOT NULL"),
                           QString()};
        QTest::newRow("neither columns nor indexes: type, name, remarks, one empty line")
            << QStringList{QStringLiteral("bare")} << all << false
            << QStringList{QStringLiteral("View:"), QStringLiteral("      bare"),
                           QStringLiteral("Nothing loaded"), QString()};
        QTest::newRow("only incoming references; a same-named view gets no key section")
            << QStringList{QStringLiteral("parent")} << foreignOnly << false
            << QStringList{QStringLiteral("Table:"),
                           QStringLiteral("      parent"),
                           QString(),
                           QStringLiteral("Foreign Keys:"),
                           QStringLiteral("      References from other tables:"),
                           QStringLiteral("            pid     <--   child.parent_id"),
                           QString(),
                           QStringLiteral("View:"),
                           QStringLiteral("      parent"),
                           QString()};
        QTest::newRow("outgoing references and the primary key")
            << QStringList{QStringLiteral("child")} << keysOnly << false
            << QStringList{QStringLiteral("Table:"),
                           QStringLiteral("      child"),
                           QString(),
                           QStringLiteral("Primary Keys:"),
                           QStringLiteral("      1   cid                                "),
                           QString(),
                           QStringLiteral("Foreign Keys:"),
                           QStringLiteral("      References to other tables:"),
                           QStringLiteral("            parent_id   -->   parent.pid"),
                           QString()};
        QTest::newRow("database in use: key sections dropped")
            << QStringList{QStringLiteral("child")} << keysOnly << true
            << QStringList{QStringLiteral("Table:"), QStringLiteral("      child"), QString()};
        QTest::newRow("chosen order kept, unknown name skipped")
            << QStringList{QStringLiteral("t2"), QStringLiteral("gone"), QStringLiteral("t1")}
            << ReportSections{false, true, false, false} << false
            << QStringList{QStringLiteral("Table:"), QStringLiteral("      t2"), QString(),
                           QStringLiteral("Table:"), QStringLiteral("      t1"), QString()};
    }

    void sections()
    {
        QFETCH(QStringList, chosen);
        QFETCH(ReportSections, sections);
        QFETCH(bool, inUse);
        QFETCH(QStringList, expected);
        ReportTestSession fixture;
        QVERIFY(openFixture(fixture));
        addHandMadeObjects(fixture);
        ReportRequest request = ReportTestSession::RequestFor(chosen, sections);
        request.databaseInUse = [inUse] { return inUse; };

        const QStringList lines = fixture.RunToFile(request);

        QCOMPARE(lines, kTitle + expected + QStringList{QStringLiteral("END OF REPORT")});
        QVERIFY(fixture.prompt.messages.isEmpty());
    }

    void cancelAfterSecondOfFiveObjects()
    {
        ReportTestSession fixture;
        QVERIFY(openFixture(fixture));
        std::atomic<int> continueFlag{1};
        ReportRequest request =
            ReportTestSession::RequestFor({QStringLiteral("t1"), QStringLiteral("t2"), QStringLiteral("t3"),
                                           QStringLiteral("t4"), QStringLiteral("t5")},
                                          {false, true, false, false});
        request.mayContinue = [&continueFlag] { return continueFlag.load() != 0; };
        ReportFileSink file(fixture.FilePath());
        // Title (3 lines), then 3 lines per object: cancelled once the second object is written.
        CancellingSink sink(file, continueFlag, 9);

        QCOMPARE(ReportGenerator(fixture.Session(), request, sink, fixture.prompt).Run(),
                 ReportOutcome::Canceled);

        const QStringList expected = kTitle + QStringList{QStringLiteral("Table:"),
                                                          QStringLiteral("      t1"),
                                                          QString(),
                                                          QStringLiteral("Table:"),
                                                          QStringLiteral("      t2"),
                                                          QString(),
                                                          QString(),
                                                          QString(),
                                                          QStringLiteral("Canceled..."),
                                                          QString(),
                                                          QString()};
        QCOMPARE(fileLines(fixture.FilePath()), expected);
        QVERIFY(fixture.prompt.messages.isEmpty());
    }

    void fileFailures_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("message");
        QTest::newRow("cannot be created")
            << QStringLiteral("/nonexistent-velkaro-dir/report.txt")
            << QStringLiteral("Could not write file '/nonexistent-velkaro-dir/report.txt'");
        QTest::newRow("write fails: named with the system's reason")
            << QStringLiteral("/dev/full")
            << QStringLiteral("Could not write file '/dev/full': No space left on device");
    }

    void fileFailures()
    {
        QFETCH(QString, path);
        QFETCH(QString, message);
        ReportTestSession fixture;
        QVERIFY(openFixture(fixture));
        ReportFileSink sink(path);

        const ReportOutcome outcome =
            ReportGenerator(fixture.Session(), ReportTestSession::RequestFor({QStringLiteral("parent")}),
                            sink, fixture.prompt)
                .Run();

        QCOMPARE(outcome, ReportOutcome::Failed);
        QCOMPARE(fixture.prompt.messages, QStringList{message});
    }

    void sampleSources_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("customerTables");
        QTest::newRow("sqlite") << QStringLiteral("sqlite") << 1;
        QTest::newRow("postgres: public and archive customers both reported")
            << QStringLiteral("postgres") << 2;
        QTest::newRow("mariadb") << QStringLiteral("mariadb") << 1;
    }

    void sampleSources()
    {
        QFETCH(QString, source);
        QFETCH(int, customerTables);
        const TestDataSource& data = testDataSource(source);
        VELKARO_REQUIRE_DATA_SOURCE(data);
        ReportTestSession fixture;
        QString problem;
        QVERIFY2(fixture.Open(data.connectString, problem), qPrintable(problem));

        const QStringList lines = fixture.RunToFile(
            ReportTestSession::RequestFor({QStringLiteral("orders"), QStringLiteral("customers")}));

        QCOMPARE(lines.mid(0, 3), kTitle);
        QCOMPARE(lines.last(), QStringLiteral("END OF REPORT"));
        QCOMPARE(lines.count(QStringLiteral("      orders")), 1);
        QCOMPARE(lines.count(QStringLiteral("      customers")), customerTables);
        QVERIFY(lines.indexOf(QStringLiteral("      orders")) <
                lines.indexOf(QStringLiteral("      customers")));
        QVERIFY(lines.contains(QStringLiteral("      References to other tables:")));
        QVERIFY(lines.contains(QStringLiteral("            customer_id   -->   customers.customer_id")));
        QVERIFY(lines.contains(QStringLiteral("            customer_id   <--   orders.customer_id")));
        const QStringList keys = lines.filter(QRegularExpression(QStringLiteral("^      1   order_id +")));
        QCOMPARE(keys.size(), 1);
        // customer_id is declared NOT NULL, email is nullable: the line ends after its type.
        const QStringList ids = lines.filter(QRegularExpression(QStringLiteral("^      customer_id +\\S")));
        QVERIFY(!ids.isEmpty());
        for (const QString& line : ids)
            QVERIFY2(line.endsWith(QLatin1String("NOT NULL")), qPrintable(line));
        const QStringList emails = lines.filter(QRegularExpression(QStringLiteral("^      email +")));
        QVERIFY(!emails.isEmpty());
        QVERIFY(!emails.constFirst().contains(QLatin1String("NULL")));
        QVERIFY(fixture.prompt.messages.isEmpty());
    }
};

QTEST_GUILESS_MAIN(ReportGeneratorTest)
#include "ReportGeneratorTest.moc"

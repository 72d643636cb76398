#include "ReportTestSession.h"
#include "explorer/reports/ReportGenerator.h"
#include "explorer/reports/ReportPrinterSink.h"

#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

using namespace velkaro;
using namespace velkaro::test;

namespace {

QByteArray fixtureScript()
{
    // One table long enough for several pages, and three short ones.
    QStringList columns;
    for (int i = 1; i <= 130; ++i)
        columns << QStringLiteral("column_%1 INTEGER NOT NULL").arg(i);
    return QStringLiteral(
               "CREATE TABLE wide (%1);\n"
               "CREATE TABLE t1 (x INTEGER);\nCREATE TABLE t2 (x INTEGER);\nCREATE TABLE t3 (x INTEGER);\n")
        .arg(columns.join(QStringLiteral(", ")))
        .toUtf8();
}

// Blanks do not survive the trip through a PDF exactly: compare the words.
QString words(const QString& line)
{
    return line.simplified();
}

// The non-empty lines of each page, as words; the spaced-out title joined up again.
QList<QStringList> pdfPages(const QString& path)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!pdftotext.waitForFinished(60000))
        return {};
    QStringList pages = QString::fromUtf8(pdftotext.readAllStandardOutput()).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    QList<QStringList> result;
    for (const QString& page : pages) {
        QStringList lines;
        for (const QString& line : page.split(QLatin1Char('\n'))) {
            if (line.trimmed().isEmpty())
                continue;
            const QString joined = QString(line).remove(QLatin1Char(' '));
            lines << (joined == QStringLiteral("VELKAROOBJECTSREPORT") ? ReportGenerator::kTitle
                                                                       : words(line));
        }
        result << lines;
    }
    return result;
}

QStringList nonEmptyWords(const QStringList& lines)
{
    QStringList result;
    for (const QString& line : lines) {
        if (!line.trimmed().isEmpty())
            result << words(line);
    }
    return result;
}

struct PdfReport
{
    QString path;
    int linesPerPage = 0;
    ReportOutcome outcome = ReportOutcome::Failed;
};

} // namespace

class ReportPrinterTest final : public QObject
{
    Q_OBJECT

private:
    ReportTestSession m_fixture;
    int m_reports = 0;

    PdfReport printToPdf(ReportRequest request)
    {
        PdfReport report;
        report.path = m_fixture.FilePath() + QStringLiteral(".%1.pdf").arg(++m_reports);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(report.path);
        ReportPrinterSink sink(printer);
        report.outcome =
            ReportGenerator(m_fixture.Session(), std::move(request), sink, m_fixture.prompt).Run();
        report.linesPerPage = sink.LinesPerPage();
        return report;
    }

private slots:
    void initTestCase()
    {
        QString problem;
        QVERIFY2(m_fixture.OpenSqlite(fixtureScript(), problem), qPrintable(problem));
    }

    void init() { m_fixture.prompt.messages.clear(); }

    void pagesHoldTheFileLinesFromRowFour()
    {
        const ReportRequest request = ReportTestSession::RequestFor(
            {QStringLiteral("wide"), QStringLiteral("t1")}, {true, true, true, true});
        const QStringList fileLines = m_fixture.RunToFile(request);

        const PdfReport pdf = printToPdf(request);

        QCOMPARE(pdf.outcome, ReportOutcome::Completed);
        // Rows 4 to linesPerPage - 1 of each page carry report lines.
        const int perPage = pdf.linesPerPage - ReportPrinterSink::kTopRows;
        QVERIFY(perPage > 10);
        QList<QStringList> expected;
        for (qsizetype first = 0; first < fileLines.size(); first += perPage)
            expected << nonEmptyWords(fileLines.mid(first, perPage));
        QCOMPARE(pdfPages(pdf.path), expected);
        QVERIFY(expected.size() >= 3);
    }

    void pageBreakPutsEachObjectOnItsOwnPage()
    {
        ReportRequest request = ReportTestSession::RequestFor(
            {QStringLiteral("t1"), QStringLiteral("t2"), QStringLiteral("t3")}, {true, false, false, false});
        request.pageBreak = true;

        const PdfReport pdf = printToPdf(request);

        QCOMPARE(pdf.outcome, ReportOutcome::Completed);
        const QList<QStringList> pages = pdfPages(pdf.path);
        // Each page opens with its object's type line (the first after the title), with no empty page.
        const QList<QStringList> starts{
            {ReportGenerator::kTitle, QStringLiteral("Table:"), QStringLiteral("t1")},
            {QStringLiteral("Table:"), QStringLiteral("t2")},
            {QStringLiteral("Table:"), QStringLiteral("t3")}};
        QCOMPARE(pages.size(), starts.size());
        for (int page = 0; page < pages.size(); ++page)
            QCOMPARE(pages.at(page).mid(0, starts.at(page).size()), starts.at(page));
        QCOMPARE(pages.last().last(), QStringLiteral("END OF REPORT"));
    }

    void finishedJobIsNeverPaintedOn()
    {
        // The close box finishes the job while the generator runs: it stops at its next line.
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        const QString path = m_fixture.FilePath() + QStringLiteral(".closed.pdf");
        printer.setOutputFileName(path);
        ReportPrinterSink sink(printer);
        int asked = 0;
        ReportRequest request = ReportTestSession::RequestFor({QStringLiteral("wide")});
        request.mayContinue = [&] {
            if (++asked == 20)
                sink.FinishJob();
            return true;
        };

        const ReportOutcome outcome =
            ReportGenerator(m_fixture.Session(), request, sink, m_fixture.prompt).Run();

        QCOMPARE(outcome, ReportOutcome::Failed);
        QVERIFY(m_fixture.prompt.messages.isEmpty());
        const QList<QStringList> pages = pdfPages(path);
        QCOMPARE(pages.size(), 1);
        QCOMPARE(pages.constFirst().constFirst(), ReportGenerator::kTitle);
        QVERIFY(!pages.constFirst().contains(QStringLiteral("END OF REPORT")));
    }
};

QTEST_MAIN(ReportPrinterTest)
#include "ReportPrinterTest.moc"

#include "RecordingPrompt.h"
#include "ReportReading.h"
#include "search/engine/DirectReportWriter.h"
#include "search/engine/ReportDocument.h"
#include "search/engine/ReportFind.h"
#include "search/engine/SearchTerms.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <optional>

using namespace velkaro;

Q_DECLARE_METATYPE(velkaro::MatchMode)

namespace {

const QString kDiskFull = QStringLiteral("/dev/full");

SearchParameters Parameters(const QString& searchText, OutputMode mode = OutputMode::Screen,
                            const QString& file = QString(), int autoSaveLines = 500)
{
    SearchParameters p;
    p.AcceptSearchText(searchText);
    p.outputMode = mode;
    p.reportFileName = file;
    p.autoSaveLines = autoSaveLines;
    return p;
}

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// The report of one test: a document, its writer and the prompt that answers for the user.
struct Report
{
    test::RecordingPrompt prompt;
    ReportDocument document{prompt};
    DirectReportWriter writer{document};

    QString marked() const { return test::MarkedDocument(document.Document()); }
};

} // namespace

class SearchReportTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir.emplace();
        QVERIFY(m_dir->isValid());
    }

    void highlightsEveryInstance_data()
    {
        QTest::addColumn<MatchMode>("mode");
        QTest::addColumn<QString>("searchText");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("marked");
        QTest::addColumn<int>("instances");
        QTest::newRow("a row holding the term twice") << MatchMode::AnySubstring << "ab"
                                                      << "xab yAB z"
                                                      << "x{Instance+b:ab} y{Instance+b:AB} z" << 2;
        QTest::newRow("alternatives") << MatchMode::AnySubstring << "red|blue"
                                      << "blue \t red"
                                      << "{Instance+b:blue} \t {Instance+b:red}" << 2;
        QTest::newRow("whole word only") << MatchMode::WholeWord << "ID"
                                         << "IDX ID\r\n"
                                         << "IDX {Instance+b:ID}\n"
                                         << 1;
        QTest::newRow("prefix right after an instance is no prefix")
            << MatchMode::Prefix << "CUST"
            << "CUSTCUST CUSTX"
            << "{Instance+b:CUST}CUST {Instance+b:CUST}X" << 2;
        QTest::newRow("markup stays text") << MatchMode::AnySubstring << "b"
                                           << "<b>x</b>"
                                           << "<{Instance+b:b}>x</{Instance+b:b}>" << 2;
        QTest::newRow("no instance") << MatchMode::AnySubstring << "q"
                                     << "abc"
                                     << "abc" << 0;
    }

    void highlightsEveryInstance()
    {
        QFETCH(MatchMode, mode);
        QFETCH(QString, searchText);
        QFETCH(QString, line);
        QFETCH(QString, marked);
        QFETCH(int, instances);
        Report report;
        SearchParameters p = Parameters(searchText);
        p.matchMode = mode;
        report.writer.Reset(p);
        report.writer.AppendHighlighted(line, ReportColor::Text);
        QCOMPARE(report.marked(), marked);
        QCOMPARE(report.writer.InstanceCount(), instances);
    }

    void writesColoursBoldAndTheReportFont()
    {
        Report report;
        report.writer.Reset(Parameters(QStringLiteral("ab")));
        report.writer.AppendReport(QStringLiteral("DATABASE :  "), ReportColor::Heading, false, true);
        report.writer.AppendReport(QStringLiteral("Shop"), ReportColor::Text, false, true);
        report.writer.AppendReport(QStringLiteral("\r\n\r\nSEARCHING FOR :  "), ReportColor::Heading);
        report.writer.AppendReport(QStringLiteral("ab"), ReportColor::Instance);
        report.writer.AppendReport(QStringLiteral("\r\nStopped"), ReportColor::Message, true);
        report.writer.AppendReport(QStringLiteral("\r\nList"), ReportColor::Black);
        QCOMPARE(report.marked(), QStringLiteral("{Heading:DATABASE :  }Shop\n\n{Heading:SEARCHING FOR :  }"
                                                 "{Instance:ab}\n{Message+b:Stopped}\n{Black:List}"));
        QCOMPARE(report.writer.InstanceCount(), 1);

        const QTextDocument& document = report.document.Document();
        QCOMPARE(document.defaultFont().family(), QStringLiteral("Courier New"));
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat format = it.fragment().charFormat();
                QCOMPARE(format.fontFamilies().toStringList().value(0), QStringLiteral("Courier New"));
                QCOMPARE(format.fontPointSize(), 8.5);
                QVERIFY(format.fontFixedPitch());
                QCOMPARE(format.fontStyleHint(), QFont::TypeWriter);
                QVERIFY(!format.fontItalic() && !format.fontUnderline() && !format.fontStrikeOut());
            }
        }

        report.writer.Reset(Parameters(QStringLiteral("ab")));
        QVERIFY(document.isEmpty());
        QCOMPARE(report.writer.InstanceCount(), 0);
        QVERIFY(!report.document.IsReportSaved());
    }

    void completeToFileWritesTheTextAsWritten()
    {
        Report report;
        const QString file = m_dir->filePath(QStringLiteral("run.txt"));
        report.writer.Reset(Parameters(QStringLiteral("ab"), OutputMode::CompleteToFile, file));
        report.writer.OpenOutputFile();
        QVERIFY(report.document.IsReportSaved());
        report.writer.AppendReport(QStringLiteral("DATABASE :  Größe"), ReportColor::Heading, false, true);
        report.writer.AppendHighlighted(QStringLiteral("\r\nx ab ab\r\n"), ReportColor::Text);
        report.writer.AppendReport(QStringLiteral("ab"), ReportColor::Instance);
        report.writer.FinishOutput();
        QCOMPARE(Contents(file), QStringLiteral("DATABASE :  Größe\r\nx ab ab\r\nab").toUtf8());
        QCOMPARE(report.writer.InstanceCount(), 3);
        QCOMPARE(
            report.marked(),
            QStringLiteral("{Message:Output of this search is being written to file: %1}\n\n").arg(file));
        QVERIFY(report.document.IsReportSaved());
        QVERIFY(report.prompt.messages.isEmpty());
    }

    void completeToFileFallsBackToTheScreen_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        QTest::newRow("file cannot be created")
            << "missing/run.txt"
            << "Could not open file %1. Output will be sent to the screen.";
        QTest::newRow("disk full on a line")
            << kDiskFull << "Could not save line to file. Output will continue on the screen.";
    }

    void completeToFileFallsBackToTheScreen()
    {
        QFETCH(QString, file);
        QFETCH(QString, message);
        if (file == kDiskFull && !QFile::exists(kDiskFull))
            QSKIP("no /dev/full here");
        const QString path = file.startsWith(QLatin1Char('/')) ? file : m_dir->filePath(file);
        Report report;
        report.writer.Reset(Parameters(QStringLiteral("ab"), OutputMode::CompleteToFile, path));
        report.writer.OpenOutputFile();
        report.writer.AppendHighlighted(QStringLiteral("row ab\r\n"), ReportColor::Text);
        report.writer.AppendReport(QStringLiteral("end"), ReportColor::Message);
        report.writer.FinishOutput();
        QCOMPARE(report.prompt.messages, QStringList{QString(message).replace(QStringLiteral("%1"), path)});
        QVERIFY(report.marked().endsWith(QStringLiteral("row {Instance+b:ab}\n{Message:end}")));
        QCOMPARE(report.writer.InstanceCount(), 1);
        // What is only on the screen is not saved.
        QVERIFY(!report.document.IsReportSaved());
    }

    void incrementalAutoSaveWritesPortions()
    {
        Report report;
        const QString file = m_dir->filePath(QStringLiteral("auto.txt"));
        const SearchParameters p =
            Parameters(QStringLiteral("line"), OutputMode::IncrementalAutoSave, file, 3);
        report.writer.Reset(p);
        QByteArray all;
        for (int k = 1; k <= 10; ++k) {
            const QString line = QStringLiteral("line %1\r\n").arg(k);
            report.writer.AppendReport(line, ReportColor::Text, false, true);
            all += line.toUtf8();
            if (k == 3) {
                QCOMPARE(Contents(file), all);
                QVERIFY(report.document.Document().isEmpty());
            }
        }
        QCOMPARE(report.marked(), QStringLiteral("line 10\n"));
        report.writer.FinishOutput();
        QCOMPARE(Contents(file), all);
        QCOMPARE(report.marked(), QStringLiteral("line 10\n")); // the window keeps the last portion
        QVERIFY(report.document.IsReportSaved());

        // The next run starts a new file, and only the writes that carry the check flush.
        report.writer.Reset(p);
        for (int k = 1; k <= 5; ++k)
            report.writer.AppendHighlighted(QStringLiteral("row %1\r\n").arg(k), ReportColor::Text);
        QCOMPARE(report.document.Document().blockCount(), 6);
        QCOMPARE(Contents(file), all);
        report.writer.AppendReport(QStringLiteral("checked"), ReportColor::Text, false, true);
        QCOMPARE(Contents(file), QByteArray("row 1\r\nrow 2\r\nrow 3\r\nrow 4\r\nrow 5\r\nchecked"));
        QVERIFY(report.document.Document().isEmpty());
        QVERIFY(report.prompt.messages.isEmpty());
    }

    void autoSaveFailuresAreReported_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("failLater");
        QTest::addColumn<QString>("problem");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("file cannot be created")
            << "missing/auto.txt" << false << "(create): %1" << QStringList{};
        QTest::newRow("file cannot be opened again") << "auto.txt" << true << "(open): %1" << QStringList{};
        QTest::newRow("disk full")
            << kDiskFull << false << "(write): %1: Disk is full."
            << QStringList{
                   "The file could not be saved, the disk is full.\nPlease make some space and press OK to "
                   "continue."};
    }

    void autoSaveFailuresAreReported()
    {
        QFETCH(QString, file);
        QFETCH(bool, failLater);
        QFETCH(QString, problem);
        QFETCH(QStringList, messages);
        if (file == kDiskFull && !QFile::exists(kDiskFull))
            QSKIP("no /dev/full here");
        const QString path = file.startsWith(QLatin1Char('/')) ? file : m_dir->filePath(file);
        Report report;
        report.writer.Reset(Parameters(QStringLiteral("zz"), OutputMode::IncrementalAutoSave, path, 1));
        if (failLater) {
            report.writer.AppendReport(QStringLiteral("first\r\n"), ReportColor::Text, false, true);
            QVERIFY(report.document.Document().isEmpty());
            QVERIFY(QFile::remove(path) && QDir().mkdir(path));
        }
        report.writer.AppendReport(QStringLiteral("kept\r\n"), ReportColor::Text, false, true);
        const QString line = QStringLiteral("Could not auto save to file ") + problem.arg(path);
        QCOMPARE(report.marked(), QStringLiteral("kept\n\n\n{Instance:%1}\n\n").arg(line));
        QCOMPARE(report.prompt.messages, messages);
        QCOMPARE(report.writer.InstanceCount(), 0); // a problem line is no instance
        QVERIFY(!report.document.IsReportSaved());
        if (file == kDiskFull)
            return;

        // Once the file can be written, the next checked write saves what the window kept.
        QVERIFY(failLater ? QDir().rmdir(path) : QDir(m_dir->path()).mkdir(QStringLiteral("missing")));
        report.writer.AppendReport(QStringLiteral("more\r\n"), ReportColor::Text, false, true);
        QVERIFY(report.document.Document().isEmpty());
        QCOMPARE(Contents(path), QStringLiteral("kept\r\n\r\n\r\n%1\r\n\r\nmore\r\n").arg(line).toUtf8());
        QVERIFY(report.document.IsReportSaved());
    }

    void flushingAnEmptyWindowSucceeds()
    {
        Report report;
        const QString file = m_dir->filePath(QStringLiteral("auto.txt"));
        report.writer.Reset(Parameters(QStringLiteral("x"), OutputMode::IncrementalAutoSave, file));
        QVERIFY(report.document.FlushAutoSave());
        QVERIFY(report.document.IsReportSaved());
        QVERIFY(!QFile::exists(file));
    }

    void savesRichOrPlainText_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("rich");
        QTest::addColumn<QString>("savedAs");
        QTest::newRow("rtf extension") << "report.rtf" << true << "report.rtf";
        QTest::newRow("upper-case RTF extension") << "REPORT.RTF" << true << "REPORT.RTF";
        QTest::newRow("txt extension") << "report.txt" << false << "report.txt";
        QTest::newRow("no extension, the text type chosen") << "report" << false << "report.txt";
    }

    void savesRichOrPlainText()
    {
        QFETCH(QString, name);
        QFETCH(bool, rich);
        QFETCH(QString, savedAs);
        Report report;
        report.writer.Reset(Parameters(QStringLiteral("größe|😀")));
        report.writer.AppendReport(QStringLiteral("DATABASE :  "), ReportColor::Heading);
        report.writer.AppendReport(QStringLiteral("Shop\r\n"), ReportColor::Text);
        report.writer.AppendHighlighted(QStringLiteral("{Größe} \\ a\tb 😀 é\x01 \r\n"), ReportColor::Text);
        report.writer.AppendReport(QStringLiteral("Stopped"), ReportColor::Message, true);
        const QString path = m_dir->filePath(savedAs);
        report.prompt.saveFileAnswers.push_back(m_dir->filePath(name));
        report.document.SaveReport();

        QCOMPARE(report.prompt.saveFileRequests.size(), 1);
        QCOMPARE(report.prompt.saveFileRequests.first().defaultSuffix, QStringLiteral("txt"));
        QCOMPARE(report.prompt.saveFileRequests.first().filter,
                 QStringLiteral("RTF Format (*.rtf);;Text Format (*.txt)"));
        QVERIFY(report.prompt.saveFileRequests.first().confirmOverwrite);
        QVERIFY(report.prompt.messages.isEmpty());
        QVERIFY(report.document.IsReportSaved());
        QVERIFY(!report.document.IsSaveCancelled());
        const QByteArray saved = Contents(path);
        if (!rich) {
            QCOMPARE(saved,
                     QStringLiteral("DATABASE :  Shop\r\n{Größe} \\ a\tb 😀 é\x01 \r\nStopped").toUtf8());
            return;
        }
        QVERIFY(saved.startsWith("{\\rtf1\\ansi"));
        QVERIFY(saved.endsWith("}\n"));
        QVERIFY(saved.contains("\\red42\\green42\\blue255;"));
        const test::RtfReading back = test::ReadRtf(saved);
        QCOMPARE(back.marked, report.marked());
        QCOMPARE(back.fonts, QStringList{QStringLiteral("Courier New")});
        QCOMPARE(QSet<int>(back.halfPointSizes.begin(), back.halfPointSizes.end()), QSet<int>{17});
    }

    void saveProblemsAreReported_data()
    {
        QTest::addColumn<QString>("file"); // empty: the user cancels
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<bool>("cancelled");
        QTest::newRow("cancelled") << "" << QStringList{} << true;
        QTest::newRow("file cannot be created")
            << "missing/r.txt" << QStringList{"Could not open file."} << false;
        QTest::newRow("disk full") << kDiskFull << QStringList{"ERROR: Could not save file."} << false;
    }

    void saveProblemsAreReported()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, messages);
        QFETCH(bool, cancelled);
        if (file == kDiskFull && !QFile::exists(kDiskFull))
            QSKIP("no /dev/full here");
        Report report;
        report.writer.Reset(Parameters(QStringLiteral("x")));
        report.writer.AppendReport(QStringLiteral("text"), ReportColor::Text);
        if (file.isEmpty())
            report.prompt.saveFileAnswers.push_back(std::nullopt);
        else
            report.prompt.saveFileAnswers.push_back(
                file.startsWith(QLatin1Char('/')) ? file : m_dir->filePath(file));
        report.document.SaveReport();
        QCOMPARE(report.prompt.messages, messages);
        QCOMPARE(report.document.IsSaveCancelled(), cancelled);
        QVERIFY(!report.document.IsReportSaved()); // closing the window must still ask
        QCOMPARE(report.marked(), QStringLiteral("text"));
    }

    void savingAnEmptyReportAsksNothing()
    {
        Report report;
        report.writer.Reset(Parameters(QStringLiteral("x")));
        report.document.SaveReport();
        QVERIFY(report.prompt.saveFileRequests.isEmpty());
        QVERIFY(report.document.IsReportSaved());
    }

    void findWrapsAroundFromTheTop()
    {
        Report report;
        report.writer.Reset(Parameters(QStringLiteral("x")));
        report.writer.AppendReport(QStringLiteral("abc x ABC\r\nabcd"), ReportColor::Text);
        const QTextDocument& document = report.document.Document();
        QTextCursor selection(&report.document.Document());
        ReportFind find;
        find.Begin();
        const QString text = QStringLiteral("abc");
        QList<int> starts;
        for (int i = 0; i < 3; ++i) {
            QVERIFY(find.FindNext(document, selection, text, {}, report.prompt));
            starts.append(selection.selectionStart());
        }
        QCOMPARE(starts, (QList<int>{0, 6, 10}));
        QVERIFY(report.prompt.questions.isEmpty());

        report.prompt.yesNoAnswers = {false, true};
        QVERIFY(!find.FindNext(document, selection, text, {}, report.prompt));
        QCOMPARE(selection.selectionStart(), 10); // declined: the selection stays
        QVERIFY(find.FindNext(document, selection, text, {}, report.prompt));
        QCOMPARE(selection.selectionStart(), 0);
        QCOMPARE(report.prompt.questions,
                 QStringList(
                     2, "Zindrel has reached the end of the report. Do you wish to continue from the top?"));

        // Case and whole-word options pass through to the search.
        QVERIFY(find.FindNext(document, selection, QStringLiteral("ABC"),
                              QTextDocument::FindCaseSensitively | QTextDocument::FindWholeWords,
                              report.prompt));
        QCOMPARE(selection.selectionStart(), 6);
        QVERIFY(report.prompt.messages.isEmpty());
    }

    void findOfAbsentText_data()
    {
        QTest::addColumn<bool>("afterAFind");
        QTest::addColumn<bool>("continueFromTop");
        QTest::addColumn<int>("questions");
        QTest::addColumn<QStringList>("messages");
        const QStringList notFound{"Could not find specified text"};
        QTest::newRow("first search after opening") << false << false << 0 << notFound;
        QTest::newRow("after agreeing to continue") << true << true << 1 << notFound;
        QTest::newRow("declining to continue") << true << false << 1 << QStringList{};
    }

    void findOfAbsentText()
    {
        QFETCH(bool, afterAFind);
        QFETCH(bool, continueFromTop);
        QFETCH(int, questions);
        QFETCH(QStringList, messages);
        Report report;
        report.writer.AppendReport(QStringLiteral("abc"), ReportColor::Text);
        QTextCursor selection(&report.document.Document());
        ReportFind find;
        find.Begin();
        if (afterAFind)
            QVERIFY(
                find.FindNext(report.document.Document(), selection, QStringLiteral("b"), {}, report.prompt));
        report.prompt.yesNoAnswers = {continueFromTop};
        QVERIFY(
            !find.FindNext(report.document.Document(), selection, QStringLiteral("zzz"), {}, report.prompt));
        QCOMPARE(report.prompt.questions.size(), questions);
        QCOMPARE(report.prompt.messages, messages);
    }

    void appendingStaysLinear()
    {
        // Each slice of rows must cost about the same however long the report has grown.
        Report report;
        report.writer.Reset(Parameters(QStringLiteral("red|blue")));
        constexpr int kSlices = 5;
        constexpr int kRowsPerSlice = 20000;
        QList<qint64> costs;
        QElapsedTimer timer;
        for (int slice = 0; slice < kSlices; ++slice) {
            timer.start();
            for (int row = 0; row < kRowsPerSlice; ++row) {
                report.writer.AppendHighlighted(
                    QStringLiteral("%1 \t red car \t blue sky \t 42\r\n").arg(row), ReportColor::Text);
            }
            costs.append(timer.elapsed());
        }
        QCOMPARE(report.writer.InstanceCount(), 2 * kSlices * kRowsPerSlice);
        QCOMPARE(report.document.Document().blockCount(), kSlices * kRowsPerSlice + 1);
        QVERIFY2(
            costs.last() <= 3 * costs.first() + 100,
            qPrintable(QStringLiteral("slice costs in ms: %1 .. %2").arg(costs.first()).arg(costs.last())));
    }

private:
    std::optional<QTemporaryDir> m_dir;
};

QTEST_MAIN(SearchReportTest)
#include "SearchReportTest.moc"

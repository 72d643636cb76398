#include "search/engine/QueuedReportWriter.h"

#include "RecordingPrompt.h"
#include "ReportReading.h"
#include "search/engine/ReportDocument.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <thread>

using namespace velkaro;

class QueuedReportWriterTest : public QObject
{
    Q_OBJECT

private slots:
    void aWorkerWritesInOrderThroughTheInterfaceThread()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString file = dir.filePath(QStringLiteral("auto.txt"));
        test::RecordingPrompt prompt;
        ReportDocument document(prompt);
        QueuedReportWriter writer(document);

        SearchParameters p;
        p.AcceptSearchText(QStringLiteral("red"));
        p.outputMode = OutputMode::IncrementalAutoSave;
        p.reportFileName = file;
        p.autoSaveLines = 50;

        constexpr int kRows = 2000;
        std::atomic<bool> done{false};
        std::thread worker([&] {
            writer.Reset(p);
            writer.AppendReport(QStringLiteral("SEARCHING FOR :  "), ReportColor::Heading, false, true);
            writer.AppendReport(p.searchText, ReportColor::Instance, false, true);
            for (int row = 0; row < kRows; ++row) {
                writer.AppendHighlighted(QStringLiteral("\r\n%1 \t red").arg(row), ReportColor::Text, false,
                                         row % 7 == 0);
            }
            writer.AppendReport(QStringLiteral("\r\nEnd"), ReportColor::Message, false, true);
            writer.FinishOutput();
            done = true;
        });
        // The interface thread reads the report while the worker writes it.
        while (!done.load()) {
            QCoreApplication::processEvents();
            (void)test::MarkedDocument(document.Document());
        }
        worker.join();
        QCoreApplication::processEvents();

        QCOMPARE(writer.InstanceCount(), kRows + 1);
        QString expected = QStringLiteral("SEARCHING FOR :  red");
        for (int row = 0; row < kRows; ++row)
            expected += QStringLiteral("\r\n%1 \t red").arg(row);
        expected += QStringLiteral("\r\nEnd");
        QFile saved(file);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        // File and window together hold the whole report, in the order it was written.
        QCOMPARE(QString::fromUtf8(saved.readAll()), expected);
        QVERIFY(document.Document().blockCount() <= 50 + 7 + 1);
        QVERIFY(prompt.messages.isEmpty());
    }
};

QTEST_MAIN(QueuedReportWriterTest)
#include "QueuedReportWriterTest.moc"

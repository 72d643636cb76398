#include "RecordingPrompt.h"
#include "explorer/logsettings/ActivityLog.h"
#include "explorer/logsettings/LogSettings.h"
#include "explorer/settingsdialogs/CLogViewDlg.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>

using namespace velkaro;
using velkaro::test::RecordingPrompt;

namespace {
QPushButton* button(QWidget* root, const QString& text)
{
    for (QPushButton* candidate : root->findChildren<QPushButton*>())
        if (candidate->text() == text)
            return candidate;
    return nullptr;
}
} // namespace

class LogViewDlgTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        m_settings = std::make_unique<LogSettings>();
        m_settings->fileName = m_dir.filePath(QStringLiteral("Velkaro"));
        m_prompt = RecordingPrompt();
        m_log = std::make_unique<ActivityLog>(*m_settings, m_prompt);
        QFile::remove(logFile());
    }

    void cleanup() { m_log.reset(); }

    void missingFileIsSaid()
    {
        CLogViewDlg dialog(*m_log, m_prompt);
        dialog.show();
        QTRY_VERIFY(!dialog.IsLoading());
        QTRY_COMPARE(dialog.TextArea()->toPlainText(), "Could not open log '" + logFile() + "'");
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Log"));
        QVERIFY(dialog.TextArea()->isReadOnly());
        QVERIFY(button(&dialog, "Close")->isDefault());
    }

    // Lines arrive in batches while the window keeps serving its events.
    void longLogLoadsWhileTheWindowResponds()
    {
        const int lineCount = 30000;
        writeLines(lineCount);
        CLogViewDlg dialog(*m_log, m_prompt);
        // Ticks of the window's own event loop that found the text part-way loaded.
        QSet<int> partialCounts;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, this, [&] {
            const int blocks = dialog.TextArea()->document()->blockCount();
            if (blocks > 1 && blocks < lineCount)
                partialCounts.insert(blocks);
        });
        ticker.start(5);
        dialog.show();

        QTRY_VERIFY_WITH_TIMEOUT(
            !dialog.IsLoading() && dialog.TextArea()->document()->blockCount() == lineCount, 60000);
        QVERIFY2(partialCounts.size() >= 3, qPrintable(QString::number(partialCounts.size())));
        const QString text = dialog.TextArea()->toPlainText();
        QVERIFY(text.startsWith(QStringLiteral("line 0 <b>markup stays text</b>\nline 1 ")));
        QVERIFY(text.endsWith(QStringLiteral("line %1 <b>markup stays text</b>").arg(lineCount - 1)));
        QCOMPARE(dialog.PathBox()->text(), logFile());
        QVERIFY(dialog.PathBox()->isReadOnly());
        // It opens on the newest line.
        const QScrollBar* bar = dialog.TextArea()->verticalScrollBar();
        QVERIFY(bar->maximum() > 0);
        QCOMPARE(bar->value(), bar->maximum());
        QCOMPARE(dialog.TextArea()->textCursor().block().text(),
                 QStringLiteral("line %1 <b>markup stays text</b>").arg(lineCount - 1));
    }

    // The reader stops at once and must not reach the window after it has gone.
    void closingMidLoadStopsTheReader()
    {
        writeLines(200000);
        QElapsedTimer closing;
        {
            CLogViewDlg dialog(*m_log, m_prompt);
            dialog.show();
            QTRY_VERIFY(dialog.TextArea()->document()->blockCount() > 1);
            closing.start();
            button(&dialog, "Close")->click();
            QVERIFY(!dialog.isVisible());
            QVERIFY(!dialog.RefreshRequested());
        }
        QVERIFY2(closing.elapsed() < 1500, qPrintable(QString::number(closing.elapsed())));
        QTest::qWait(100); // anything still queued for the window is dropped
    }

    void refreshClosesAndAsksForAnotherLoad()
    {
        writeLines(3);
        CLogViewDlg dialog(*m_log, m_prompt);
        dialog.show();
        QTRY_VERIFY(!dialog.IsLoading());
        button(&dialog, "Refresh")->click();
        QVERIFY(!dialog.isVisible());
        QVERIFY(dialog.RefreshRequested());
    }

    void clearLogAsksFirst_data()
    {
        QTest::addColumn<bool>("answer");
        QTest::addColumn<int>("everythingElse");
        QTest::addColumn<QString>("fileAfter");
        QTest::addColumn<QString>("textAfter");
        QTest::newRow("no keeps everything") << false << 1 << "kept"
                                             << "line 0 <b>markup stays text</b>";
        QTest::newRow("yes empties log and window") << true << 0 << ""
                                                    << "";
        QTest::newRow("yes with large log records it") << true << 1 << "Log cleared."
                                                       << "";
    }

    void clearLogAsksFirst()
    {
        QFETCH(bool, answer);
        QFETCH(int, everythingElse);
        QFETCH(QString, fileAfter);
        QFETCH(QString, textAfter);
        writeLines(1);
        m_settings->LANY = everythingElse;
        CLogViewDlg dialog(*m_log, m_prompt);
        dialog.show();
        QTRY_VERIFY(!dialog.IsLoading());
        QTRY_COMPARE(dialog.TextArea()->toPlainText(), QStringLiteral("line 0 <b>markup stays text</b>"));

        m_prompt.yesNoAnswers.push_back(answer);
        button(&dialog, "Clear Log")->click();

        QCOMPARE(m_prompt.questions, QStringList{"The log will be permanently deleted, Continue?"});
        QCOMPARE(dialog.TextArea()->toPlainText(), textAfter);
        m_log->Flush();
        const QString file = QString::fromUtf8(readFile());
        if (fileAfter == QLatin1String("kept"))
            QCOMPARE(file, QStringLiteral("line 0 <b>markup stays text</b>\r\n"));
        else if (fileAfter.isEmpty())
            QCOMPARE(file, QString());
        else
            QVERIFY2(file.endsWith("> " + fileAfter + "\r\n") && file.count('\n') == 1, qPrintable(file));
    }

private:
    QString logFile() const { return m_dir.filePath(QStringLiteral("Velkaro.log")); }

    void writeLines(int count)
    {
        QFile file(logFile());
        QVERIFY(file.open(QIODevice::WriteOnly));
        QByteArray bytes;
        for (int i = 0; i < count; ++i)
            bytes += "line " + QByteArray::number(i) + " <b>markup stays text</b>\r\n";
        file.write(bytes);
    }

    QByteArray readFile() const
    {
        QFile file(logFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir m_dir;
    std::unique_ptr<LogSettings> m_settings;
    RecordingPrompt m_prompt;
    std::unique_ptr<ActivityLog> m_log;
};

QTEST_MAIN(LogViewDlgTest)
#include "LogViewDlgTest.moc"

#pragma once

#include "search/engine/ReportColor.h"
#include "search/engine/ReportFile.h"
#include "search/engine/SearchParameters.h"

#include <QFont>
#include <QList>
#include <QObject>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <array>

namespace velkaro {

class UserPrompt;

// What the report needs to know of a run's parameters.
struct ReportOptions
{
    OutputMode outputMode = OutputMode::Screen;
    QString reportFileName;
    int autoSaveLines = 500;

    static ReportOptions From(const SearchParameters& parameters);
};

// The search report: the rich text a view shows, and the files it goes to. Lives on the interface
// thread; a run reaches it through a ReportWriter. Instances are counted by the writer, so the
// problem lines written here never count.
//
// Text is appended through one cursor kept at the end, as plain text, with undo switched off,
// so writing stays linear however long the report grows.
class ReportDocument final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ReportDocument)

public:
    explicit ReportDocument(UserPrompt& prompt, QObject* parent = nullptr);
    ~ReportDocument() override;

    // "Courier New" 8.5 pt, fixed pitch.
    static QFont ReportFont();

    QTextDocument& Document() { return m_document; }
    const QTextDocument& Document() const { return m_document; }

    // A run begins: empty text in the report font, and the run's output choices.
    void Reset(const ReportOptions& options);
    // Report text without counting: to the output file while one is open, else at the end of
    // the text. With the check, a window longer than the portion size is flushed to the
    // auto-save file and emptied.
    void Write(const QList<ReportPiece>& pieces, bool autoSaveCheck);

    // Complete-to-file output: the notice, then the file. A file that cannot be created sends the
    // output to the screen.
    void OpenOutputFile();
    // At the end of a run and at a stop: the last auto-save flush or the output file's close.
    void FinishOutput();
    // Writes the window's text after what earlier flushes of the run wrote. False on failure, which
    // the report and a message tell; the window keeps its text then.
    bool FlushAutoSave();

    // Save Report: rich text for an ".rtf" name, plain text otherwise.
    void SaveReport();

    // A confirmed stop leaves the report unsaved.
    void MarkUnsaved() { m_reportSaved = false; }
    bool IsReportSaved() const { return m_reportSaved; }
    bool IsSaveCancelled() const { return m_saveCancelled; }

signals:
    // For a progress display while a file is written. Receivers must not run the event loop:
    // the text is being read line by line.
    void SavingStarted(int lineCount);
    void SavingProgress(int line);
    void SavingFinished();

private:
    void RestartText();
    void Insert(const ReportPiece& piece);
    void InsertProblem(const QString& text);
    bool WriteToOutputFile(const QString& text);
    void CloseOutputFile();
    ReportFile::WriteResult WriteLines(ReportFile& file);
    bool ReportFlushWriteFailure(ReportFile::WriteResult outcome);

    UserPrompt& m_prompt;
    QTextDocument m_document;
    QTextCursor m_end;
    std::array<QTextCharFormat, 10> m_formats; // by colour, plain and bold
    ReportOptions m_options;
    ReportFile m_outputFile;
    bool m_reportSaved = true;
    bool m_saveCancelled = false;
    bool m_autoSaveStarted = false;
};

} // namespace velkaro

#include "search/engine/ReportDocument.h"

#include "common/UserPrompt.h"
#include "search/engine/RtfWriter.h"

#include <QFileInfo>
#include <QTextBlock>

namespace velkaro {

namespace {

constexpr qsizetype kWriteChunk = 64 * 1024;
const QString kLineEnd = QStringLiteral("\r\n");

size_t FormatIndex(ReportColor color, bool bold)
{
    return size_t(color) * 2 + (bold ? 1 : 0);
}

QTextCharFormat BaseFormat()
{
    QTextCharFormat format;
    format.setFont(ReportDocument::ReportFont());
    return format;
}

bool HasSuffix(const QString& path, const char* suffix)
{
    return QFileInfo(path).suffix().compare(QLatin1String(suffix), Qt::CaseInsensitive) == 0;
}

// A new name chosen without an extension gets the one of the type selected in the chooser; a file
// that exists (a device, say) is written as named.
QString SavePath(const SaveFileChoice& chosen, const QString& defaultSuffix)
{
    const QFileInfo file(chosen.path);
    if (!file.suffix().isEmpty() || file.exists())
        return chosen.path;
    const QString suffix = SaveFileChoice::FilterSuffix(chosen.filter);
    return chosen.path + QLatin1Char('.') + (suffix.isEmpty() ? defaultSuffix : suffix);
}

// ".rtf" and ".txt" say the type themselves; any other extension takes the type selected.
bool SavesAsRtf(const QString& path, const QString& filter)
{
    if (HasSuffix(path, "rtf") || HasSuffix(path, "txt"))
        return HasSuffix(path, "rtf");
    return SaveFileChoice::FilterSuffix(filter).compare(QLatin1String("rtf"), Qt::CaseInsensitive) == 0;
}

} // namespace

ReportOptions ReportOptions::From(const SearchParameters& parameters)
{
    return {parameters.outputMode, parameters.reportFileName, parameters.autoSaveLines};
}

ReportDocument::ReportDocument(UserPrompt& prompt, QObject* parent) : QObject(parent), m_prompt(prompt)
{
    m_document.setUndoRedoEnabled(false);
    for (ReportColor color : {ReportColor::Text, ReportColor::Message, ReportColor::Heading,
                              ReportColor::Instance, ReportColor::Black}) {
        for (bool bold : {false, true}) {
            QTextCharFormat format = BaseFormat();
            format.setForeground(ReportColorRgb(color));
            format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
            m_formats[FormatIndex(color, bold)] = format;
        }
    }
    RestartText();
}

ReportDocument::~ReportDocument() = default;

QFont ReportDocument::ReportFont()
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSizeF(8.5);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

void ReportDocument::RestartText()
{
    m_document.clear();
    m_document.setDefaultFont(ReportFont());
    m_end = QTextCursor(&m_document);
    m_end.movePosition(QTextCursor::End);
    m_end.setBlockCharFormat(BaseFormat());
    m_end.setCharFormat(BaseFormat());
}

void ReportDocument::Reset(const ReportOptions& options)
{
    m_options = options;
    CloseOutputFile();
    m_autoSaveStarted = false;
    m_reportSaved = false;
    RestartText();
}

void ReportDocument::Insert(const ReportPiece& piece)
{
    m_end.insertText(piece.text, m_formats[FormatIndex(piece.color, piece.bold)]);
}

void ReportDocument::InsertProblem(const QString& text)
{
    // Whatever earlier flushes saved, the window now holds text that is nowhere else.
    m_reportSaved = false;
    Insert({QStringLiteral("\r\n\r\n") + text + QStringLiteral("\r\n\r\n"), ReportColor::Instance, false});
}

void ReportDocument::Write(const QList<ReportPiece>& pieces, bool autoSaveCheck)
{
    if (m_outputFile.IsOpen()) {
        QString text;
        for (const ReportPiece& piece : pieces)
            text += piece.text;
        if (WriteToOutputFile(text))
            return;
    }
    for (const ReportPiece& piece : pieces)
        Insert(piece);
    if (autoSaveCheck && m_options.outputMode == OutputMode::IncrementalAutoSave &&
        m_document.blockCount() > m_options.autoSaveLines && FlushAutoSave())
        RestartText();
}

bool ReportDocument::WriteToOutputFile(const QString& text)
{
    if (m_outputFile.Write(text.toUtf8()) == ReportFile::WriteResult::Ok)
        return true;
    // The rest of the run goes to the screen, this line included.
    m_outputFile.Close();
    m_reportSaved = false;
    m_prompt.ShowMessage(QStringLiteral("Could not save line to file. Output will continue on the screen."));
    return false;
}

void ReportDocument::OpenOutputFile()
{
    if (m_options.outputMode != OutputMode::CompleteToFile)
        return;
    const QString& name = m_options.reportFileName;
    Insert({QStringLiteral("Output of this search is being written to file: ") + name +
                QStringLiteral("\r\n\r\n"),
            ReportColor::Message, false});
    if (!m_outputFile.Open(name, ReportFile::OpenMode::Truncate)) {
        // The output stays on the screen, so it is not saved anywhere yet.
        m_prompt.ShowMessage(QStringLiteral("Could not open file ") + name +
                             QStringLiteral(". Output will be sent to the screen."));
        return;
    }
    m_reportSaved = true;
}

void ReportDocument::CloseOutputFile()
{
    if (!m_outputFile.IsOpen())
        return;
    m_reportSaved = m_outputFile.Close();
    if (!m_reportSaved)
        m_prompt.ShowMessage(QStringLiteral("ERROR: Could not save file."));
}

void ReportDocument::FinishOutput()
{
    if (m_options.outputMode == OutputMode::IncrementalAutoSave) {
        FlushAutoSave();
        // The next run starts a new file.
        m_autoSaveStarted = false;
        return;
    }
    CloseOutputFile();
}

bool ReportDocument::FlushAutoSave()
{
    if (m_document.isEmpty()) {
        m_reportSaved = true;
        return true;
    }
    const QString& name = m_options.reportFileName;
    const QString problem = QStringLiteral("Could not auto save to file ");
    ReportFile file;
    if (!m_autoSaveStarted) {
        if (!file.Open(name, ReportFile::OpenMode::Truncate)) {
            InsertProblem(problem + QStringLiteral("(create): ") + name);
            return false;
        }
        m_autoSaveStarted = true;
    } else if (!file.Open(name, ReportFile::OpenMode::Append)) {
        InsertProblem(problem + QStringLiteral("(open): ") + name);
        return false;
    }
    const qint64 start = file.SeekToEnd();
    if (start < 0) {
        InsertProblem(problem + QStringLiteral("(seek): ") + name);
        return false;
    }
    ReportFile::WriteResult outcome = WriteLines(file);
    if (outcome != ReportFile::WriteResult::Ok)
        file.Truncate(start); // the retry writes this portion again
    if (!file.Close() && outcome == ReportFile::WriteResult::Ok)
        outcome = ReportFile::WriteResult::Failed;
    if (ReportFlushWriteFailure(outcome))
        return false;
    m_reportSaved = true;
    return true;
}

bool ReportDocument::ReportFlushWriteFailure(ReportFile::WriteResult outcome)
{
    const QString problem =
        QStringLiteral("Could not auto save to file (write): ") + m_options.reportFileName;
    switch (outcome) {
    case ReportFile::WriteResult::Ok:
        return false;
    case ReportFile::WriteResult::DiskFull:
        InsertProblem(problem + QStringLiteral(": Disk is full."));
        m_prompt.ShowMessage(QStringLiteral("The file could not be saved, the disk is full.\nPlease make "
                                            "some space and press OK to continue."));
        return true;
    case ReportFile::WriteResult::Failed:
        break;
    }
    InsertProblem(problem);
    m_prompt.ShowMessage(problem);
    return true;
}

ReportFile::WriteResult ReportDocument::WriteLines(ReportFile& file)
{
    // Lines end in CR LF as the run wrote them; the last line has no end of its own, so portions
    // written one after another join up exactly.
    const int lineCount = m_document.blockCount();
    emit SavingStarted(lineCount);
    QByteArray chunk;
    ReportFile::WriteResult outcome = ReportFile::WriteResult::Ok;
    int line = 0;
    for (QTextBlock block = m_document.begin(); block.isValid(); block = block.next()) {
        chunk += block.text().toUtf8();
        if (block.next().isValid())
            chunk += kLineEnd.toLatin1();
        if (chunk.size() >= kWriteChunk || !block.next().isValid()) {
            outcome = file.Write(chunk);
            chunk.clear();
            if (outcome != ReportFile::WriteResult::Ok)
                break;
        }
        emit SavingProgress(++line);
    }
    emit SavingFinished();
    return outcome;
}

void ReportDocument::SaveReport()
{
    m_reportSaved = false;
    if (m_document.isEmpty()) {
        m_reportSaved = true;
        return;
    }
    SaveFileRequest request;
    request.title = QStringLiteral("Save Report");
    request.defaultSuffix = QStringLiteral("txt");
    request.filter = QStringLiteral("RTF Format (*.rtf);;Text Format (*.txt)");
    const std::optional<SaveFileChoice> chosen = m_prompt.ChooseSaveFile(request);
    m_saveCancelled = !chosen.has_value();
    if (m_saveCancelled)
        return;
    const QString path = SavePath(*chosen, request.defaultSuffix);
    ReportFile file;
    if (!file.Open(path, ReportFile::OpenMode::Truncate)) {
        m_prompt.ShowMessage(QStringLiteral("Could not open file."));
        return;
    }
    const bool rtf = SavesAsRtf(path, chosen->filter);
    const ReportFile::WriteResult outcome = rtf ? file.Write(ToRtf(m_document) + '\n') : WriteLines(file);
    const bool closed = file.Close();
    // A failed save leaves the report unsaved, so closing the window still asks.
    if (outcome != ReportFile::WriteResult::Ok || !closed) {
        m_prompt.ShowMessage(QStringLiteral("ERROR: Could not save file."));
        return;
    }
    m_reportSaved = true;
}

} // namespace velkaro

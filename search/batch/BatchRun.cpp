#include "search/batch/BatchRun.h"

#include "catalog/CDbSession.h"
#include "catalog/ConnectString.h"
#include "common/StopSignals.h"
#include "common/TerminalPrompt.h"
#include "search/batch/BatchHost.h"
#include "search/batch/BatchReportWriter.h"
#include "search/engine/ObjectNameSearch.h"
#include "search/engine/ReportDocument.h"
#include "search/engine/RtfWriter.h"
#include "search/engine/RunCoverage.h"
#include "search/engine/SearchRun.h"

#include <QFile>
#include <QFileInfo>
#include <memory>
#include <unistd.h>

namespace velkaro {

namespace {

const char* const kPasswordVariable = "ZINDREL_PASSWORD";

QString FileLabel(const QString& name)
{
    return name.isEmpty() ? QStringLiteral("standard output") : name;
}

// Opened before the connection is made, so that a file that cannot be written costs no search, but
// emptied only once the search can begin: a data source that cannot be reached leaves the last
// report as it was.
bool OpenForWriting(QFile& file, const QString& name, QString& problem)
{
    const QIODevice::OpenMode mode = QIODevice::WriteOnly | QIODevice::Unbuffered;
    bool opened = false;
    if (name.isEmpty()) {
        opened = file.open(STDOUT_FILENO, mode);
    } else {
        file.setFileName(name);
        // Appending seeks to the end, which a device or a pipe cannot do.
        const QFileInfo target(name);
        opened = file.open(target.exists() && !target.isFile() ? mode : mode | QIODevice::Append);
    }
    if (!opened)
        problem = QStringLiteral("cannot write %1: %2").arg(FileLabel(name), file.errorString());
    return opened;
}

// A device or a pipe (/dev/null, a FIFO) has nothing to empty and cannot be resized.
bool Empty(QFile& file, QString& problem)
{
    if (!file.isOpen() || file.fileName().isEmpty() || file.isSequential() || file.resize(0))
        return true;
    problem = QStringLiteral("cannot write %1: %2").arg(file.fileName(), file.errorString());
    return false;
}

// The connect string with the password from the environment; without one the driver's refusal
// leads to the terminal prompt.
QString WithPassword(const QString& input)
{
    if (!qEnvironmentVariableIsSet(kPasswordVariable))
        return input;
    const QString user = ConnectString::AttributeValue(input, QStringLiteral("UID")).value_or(QString());
    return ConnectString::WithCredentials(input, user, qEnvironmentVariable(kPasswordVariable));
}

// The driver's reason; none when the login it asked for was not given.
QString ConnectFailure(const QString& driverReason)
{
    if (!driverReason.isEmpty())
        return driverReason;
    return QStringLiteral("the data source asks for a login, and none was given (set %1, or run "
                          "zindrel-batch in a terminal to be asked)")
        .arg(QLatin1String(kPasswordVariable));
}

bool WriteRtf(QFile& file, const ReportDocument& document, QString& problem)
{
    // Saved reports end with one line feed after the rich text.
    const QByteArray rtf = ToRtf(document.Document()) + '\n';
    const bool written = file.write(rtf) == rtf.size() && file.flush();
    if (!written)
        problem = QStringLiteral("cannot write %1: %2").arg(file.fileName(), file.errorString());
    file.close();
    return written;
}

} // namespace

BatchRun::BatchRun(const BatchOptions& options, std::FILE* errors) : m_options(options), m_errors(errors)
{}

BatchExit BatchRun::Fail(const QString& message) const
{
    std::fprintf(m_errors, "zindrel-batch: %s\n",
                 TerminalPrompt::Printable(message, true).toLocal8Bit().constData());
    std::fflush(m_errors);
    return BatchExit::Error;
}

void BatchRun::Warn(const QString& message) const
{
    std::fprintf(m_errors, "zindrel-batch: warning: %s\n",
                 TerminalPrompt::Printable(message, true).toLocal8Bit().constData());
    std::fflush(m_errors);
}

BatchExit BatchRun::Exec()
{
    QString problem;
    QFile text;
    QFile rtf;
    if (!OpenForWriting(text, m_options.outputFile, problem))
        return Fail(problem);
    if (!m_options.rtfFile.isEmpty() && !OpenForWriting(rtf, m_options.rtfFile, problem))
        return Fail(problem);

    TerminalPrompt prompt(m_errors, QStringLiteral("zindrel-batch"));
    CDbSession session(SessionVariant::Search);
    const QString input = m_options.connectString;
    if (!session.ConnectByString(WithPassword(input), prompt))
        return Fail(QStringLiteral("could not connect to %1: %2")
                        .arg(ConnectString::WithoutPassword(input), ConnectFailure(session.LastError())));
    // A name that is not in the catalog fails before the last report is emptied.
    if (!ObjectsExist(session, problem) || !Empty(text, problem) || !Empty(rtf, problem))
        return Fail(problem);
    return Search(session, prompt, text, rtf);
}

// The run then takes the list as read here.
bool BatchRun::ObjectsExist(CDbSession& session, QString& problem) const
{
    if (m_options.objects.isEmpty())
        return true;
    session.LoadSearchObjects(
        ObjectNameSearch::ScopeFor(m_options.parameters.searchSystemObjects, m_options.objects));
    const QStringList unknown =
        ObjectNameSearch::UnknownNames(m_options.objects, session.SearchObjects().Snapshot());
    if (unknown.isEmpty())
        return true;
    problem =
        QStringLiteral("--object %1: the data source holds no object of that name; nothing was searched.")
            .arg(unknown.join(QStringLiteral(", ")));
    return false;
}

BatchExit BatchRun::Search(CDbSession& session, UserPrompt& prompt, QFile& text, QFile& rtf)
{
    std::unique_ptr<ReportDocument> document;
    if (rtf.isOpen())
        document = std::make_unique<ReportDocument>(prompt);
    BatchReportWriter writer(text, document.get());
    BatchHost host(m_errors, m_showProgress, prompt);
    SearchRun run(session, m_options.parameters, writer, host);
    run.SetObjectFilter(m_options.objects);
    run.SetObjectsLoaded(!m_options.objects.isEmpty());
    // Nobody would read the rest of a report that cannot be written.
    writer.SetFailureHandler([&run] { run.Stop(); });
    if (m_signals) {
        // A run that has already finished is only writing its files: the signal lets it.
        m_signals->SetRun([&run] {
            if (!run.IsRunning())
                return false;
            run.Stop();
            return true;
        });
    }
    run.RunSearch();
    if (m_signals)
        m_signals->SetRun({});

    QString problem;
    if (!writer.Flush())
        return Fail(
            QStringLiteral("cannot write %1: %2").arg(FileLabel(m_options.outputFile), writer.Failure()));
    text.close();
    if (document && !WriteRtf(rtf, *document, problem))
        return Fail(problem);
    // What was read and what was not, also of a stopped run.
    std::fputs(TerminalPrompt::Printable(run.Coverage().PlainText(session.DisplayName()), true)
                   .toLocal8Bit()
                   .constData(),
               m_errors);
    if (m_signals && m_signals->Received() != 0)
        return Fail(QStringLiteral("the search was stopped before it finished."));
    return Outcome(run.InstancesFound(), run.Coverage().HasGaps());
}

BatchExit BatchRun::Outcome(int instancesFound, bool gaps) const
{
    // Finding nothing proves nothing about an object that could not be searched.
    if (gaps)
        Warn(QStringLiteral("some objects could not be searched; they are listed above."));
    if (instancesFound > 0)
        return BatchExit::Found;
    return gaps ? BatchExit::NotFoundWithGaps : BatchExit::NotFound;
}

} // namespace velkaro

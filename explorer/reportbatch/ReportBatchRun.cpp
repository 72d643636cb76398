#include "explorer/reportbatch/ReportBatchRun.h"

#include "catalog/CDbSession.h"
#include "catalog/ConnectString.h"
#include "catalog/LoadJob.h"
#include "common/StopSignals.h"
#include "common/TerminalPrompt.h"
#include "explorer/reportbatch/ReportBatchHost.h"
#include "explorer/reports/ReportFileSink.h"
#include "explorer/reports/ReportGenerator.h"
#include "explorer/reports/ReportPrinterSink.h"

#include <QPrinter>
#include <QScopeGuard>
#include <QSet>
#include <algorithm>

namespace velkaro {

namespace {

const char* const kPasswordVariable = "VELKARO_PASSWORD";
const char* const kProgram = "velkaro-report";

QString withPassword(const QString& input)
{
    if (!qEnvironmentVariableIsSet(kPasswordVariable))
        return input;
    const QString user = ConnectString::AttributeValue(input, QStringLiteral("UID")).value_or(QString());
    return ConnectString::WithCredentials(input, user, qEnvironmentVariable(kPasswordVariable));
}

// The driver's reason; none when the login it asked for was not given.
QString connectFailure(const QString& driverReason)
{
    if (!driverReason.isEmpty())
        return driverReason;
    return QStringLiteral("the data source asks for a login, and none was given (set %1, or run %2 in a "
                          "terminal to be asked)")
        .arg(QLatin1String(kPasswordVariable), QLatin1String(kProgram));
}

// --all: every name once, sorted as the dialog's list sorts them.
QStringList allNames(const std::vector<std::shared_ptr<ObjectRecord>>& objects, bool onlyWithColumns)
{
    QStringList names;
    QSet<QString> seen;
    for (const std::shared_ptr<ObjectRecord>& object : objects) {
        const std::shared_ptr<const ColumnList> columns = object->Columns();
        if (onlyWithColumns && (!columns || columns->columns.empty()))
            continue;
        if (!seen.contains(object->Name())) {
            seen.insert(object->Name());
            names.append(object->Name());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

// NAME names every object so named; OWNER.NAME the one of that owner, where no object is named
// NAME with the dot.
std::optional<ReportChoice> choiceFor(const QString& text,
                                      const std::vector<std::shared_ptr<ObjectRecord>>& objects)
{
    const ReportChoice byName{text, QString(), true};
    const auto matches = [&objects](const ReportChoice& choice) {
        return std::any_of(
            objects.begin(), objects.end(),
            [&choice](const std::shared_ptr<ObjectRecord>& object) { return choice.Matches(*object); });
    };
    if (matches(byName))
        return byName;
    for (qsizetype dot = text.indexOf(QLatin1Char('.')); dot > 0;
         dot = text.indexOf(QLatin1Char('.'), dot + 1)) {
        const ReportChoice byOwner{text.mid(dot + 1), text.left(dot), false};
        if (matches(byOwner))
            return byOwner;
    }
    return std::nullopt;
}

} // namespace

ReportBatchRun::ReportBatchRun(const ReportBatchOptions& options, std::FILE* errors)
    : m_options(options), m_errors(errors)
{}

ReportBatchExit ReportBatchRun::Fail(const QString& message) const
{
    std::fprintf(m_errors, "%s: %s\n", kProgram,
                 TerminalPrompt::Printable(message, true).toLocal8Bit().constData());
    std::fflush(m_errors);
    return ReportBatchExit::Error;
}

ReportBatchExit ReportBatchRun::Exec()
{
    TerminalPrompt prompt(m_errors, QString::fromLatin1(kProgram));
    ReportBatchHost host(m_errors);
    CDbSession session;
    session.SetLog(&host);
    const QString input = m_options.connectString;
    if (!session.ConnectByString(withPassword(input), prompt))
        return Fail(QStringLiteral("could not connect to %1: %2")
                        .arg(ConnectString::WithoutPassword(input), connectFailure(session.LastError())));
    // From here a signal cancels the catalog calls, and the report ends with its cancel lines.
    StatementCancel& cancel = session.GetStatementCancel();
    cancel.begin();
    if (m_signals) {
        m_signals->SetRun([this, &cancel] {
            m_stopped = true;
            cancel.Stop();
            return true;
        });
    }
    const auto stopsNoMore = qScopeGuard([this, &cancel] {
        if (m_signals)
            m_signals->SetRun({});
        cancel.end();
    });
    LoadJob job;
    job.host = &host;
    job.alias = session.DisplayName();
    job.databaseNode = &host;
    job.explicitLoad = true;
    job.inUse = std::make_shared<std::atomic<int>>(1);
    session.LoadObjects(job);
    // A catalog cut short names too few objects: nothing is written, the last report stays.
    if (Stopped())
        return Fail(QStringLiteral("stopped while the catalog was loading; nothing was written."));

    ReportRequest request;
    request.sections = m_options.sections;
    request.pageBreak = m_options.pageBreak;
    request.mayContinue = [this] { return !Stopped(); };
    // A report to a file (or standard output) is written before the names are known to be good only
    // when they are: an unknown name leaves the last report as it was.
    if (!ResolveChoices(session, request))
        return ReportBatchExit::Error;
    return Report(session, request, prompt);
}

ReportBatchExit ReportBatchRun::Report(CDbSession& session, ReportRequest& request, UserPrompt& prompt) const
{
    const bool text = !m_options.outputFile.isEmpty() || m_options.pdfFile.isEmpty();
    bool written = true;
    if (text) {
        ReportFileSink sink(m_options.outputFile);
        written = Write(session, request, sink, prompt);
    }
    if (written && !m_options.pdfFile.isEmpty())
        written = !Stopped() && WritePdf(session, request, prompt);
    // A signal after the last line leaves a whole report.
    if (written)
        return ReportBatchExit::Written;
    if (Stopped())
        return Fail(QStringLiteral("the report was stopped before it finished."));
    return ReportBatchExit::Error;
}

bool ReportBatchRun::ResolveChoices(const CDbSession& session, ReportRequest& request) const
{
    const std::vector<std::shared_ptr<ObjectRecord>> objects = session.Objects();
    const QStringList names =
        m_options.allObjects ? allNames(objects, m_options.onlyWithColumns) : m_options.objects;
    QStringList unknown;
    for (const QString& name : names) {
        if (const std::optional<ReportChoice> choice = choiceFor(name, objects))
            request.choices.push_back(*choice);
        else
            unknown.append(name);
    }
    if (!unknown.isEmpty()) {
        Fail(QStringLiteral("--object %1: the data source holds no object of that name; nothing was written.")
                 .arg(unknown.join(QStringLiteral(", "))));
        return false;
    }
    if (request.choices.empty()) {
        Fail(QStringLiteral("the data source holds no object to report; nothing was written."));
        return false;
    }
    return true;
}

bool ReportBatchRun::Write(CDbSession& session, const ReportRequest& request, ReportLineSink& sink,
                           UserPrompt& prompt) const
{
    // The sink has said why when the report could not be written.
    return ReportGenerator(session, request, sink, prompt).Run() == ReportOutcome::Completed;
}

bool ReportBatchRun::WritePdf(CDbSession& session, const ReportRequest& request, UserPrompt& prompt) const
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(m_options.pdfFile);
    ReportPrinterSink sink(printer);
    if (!Write(session, request, sink, prompt))
        return false;
    // The PDF engine reports a file it could not write only through the painter's end.
    if (printer.printerState() == QPrinter::Error)
        return Fail(QStringLiteral("cannot write %1").arg(m_options.pdfFile)) == ReportBatchExit::Written;
    return true;
}

} // namespace velkaro

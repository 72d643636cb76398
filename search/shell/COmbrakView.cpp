#include "search/shell/COmbrakView.h"

#include "common/ProfileStore.h"
#include "common/UserPrompt.h"
#include "search/engine/SearchRun.h"
#include "search/shell/ControlPanel.h"
#include "search/shell/ModalDialogs.h"
#include "search/shell/ParametersDialog.h"
#include "search/shell/ReportFindDialog.h"
#include "search/shell/SavingWindow.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QScrollBar>
#include <thread>

namespace velkaro {

namespace {

const QString kStopQuestion = QStringLiteral(
    "You won't be able to resume this Zindrel if you stop it.\nAre you sure you want to stop?");

} // namespace

COmbrakView::COmbrakView(ProfileStore& store, UserPrompt& prompt, QWidget* parent)
    : QTextEdit(parent), m_store(store), m_prompt(prompt), m_report(prompt), m_writer(m_report),
      m_host(prompt)
{
    setObjectName(QStringLiteral("reportView"));
    m_parameters.Load(store);
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setLineWrapMode(QTextEdit::NoWrap);
    setDocument(&m_report.Document());
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

    m_savingWindow = new SavingWindow(this);
    connect(&m_report, &ReportDocument::SavingStarted, m_savingWindow, &SavingWindow::Started);
    connect(&m_report, &ReportDocument::SavingProgress, m_savingWindow, &SavingWindow::Progress);
    connect(&m_report, &ReportDocument::SavingFinished, m_savingWindow, &SavingWindow::finished);

    m_host.SetReportWriter(&m_writer);
    connect(&m_host, &ShellSearchHost::TitleChanged, this, &COmbrakView::SetTitle);
    connect(&m_host, &ShellSearchHost::CommandStatesChanged, this, &COmbrakView::UpdateCommandStates);
    connect(&m_host, &ShellSearchHost::RunFinished, this, &COmbrakView::RunFinished);

    // The report follows its end while it grows, unless the user has scrolled away from it.
    QScrollBar* scroll = verticalScrollBar();
    connect(scroll, &QScrollBar::valueChanged, this,
            [this, scroll](int value) { m_followEnd = value >= scroll->maximum(); });
    connect(scroll, &QScrollBar::rangeChanged, this, [this, scroll](int, int maximum) {
        if (m_followEnd)
            scroll->setValue(maximum);
    });
}

COmbrakView::~COmbrakView()
{
    EndForShutdown();
    SaveSettings();
    // The document belongs to the report, which goes before the editor's own teardown.
    setDocument(nullptr);
}

void COmbrakView::SaveSettings()
{
    if (!m_parameters.Save(m_store))
        m_prompt.ShowMessage(QStringLiteral("Could not save the settings to ") + m_store.FileName());
}

bool COmbrakView::IsRunActive() const
{
    return m_run != nullptr;
}

bool COmbrakView::CanPause() const
{
    return m_run && m_run->IsRunning() && !m_run->IsPaused();
}

bool COmbrakView::CanResume() const
{
    return m_run && m_run->IsRunning() && m_run->IsPaused();
}

bool COmbrakView::CanSkip() const
{
    return m_run && m_run->IsRunning() && m_run->InDataPhase() && !m_run->IsPaused();
}

bool COmbrakView::CanStop() const
{
    return m_run && m_run->IsRunning();
}

void COmbrakView::SetTitle(const QString& title)
{
    m_title = title;
    emit TitleChanged(title);
}

void COmbrakView::UpdateCommandStates()
{
    if (m_controlPanel) {
        m_controlPanel->SetRunActive(IsRunActive());
        m_controlPanel->SetCommandStates(CanResume(), CanSkip(), CanPause(), CanStop());
    }
    emit CommandStatesChanged();
}

bool COmbrakView::OfferToSave(const QString& question)
{
    if (m_report.IsReportSaved() || m_report.Document().isEmpty())
        return true;
    if (!m_prompt.AskYesNo(question))
        return true;
    SaveReport();
    // A cancelled or failed save keeps the report, and what was to replace it waits.
    return m_report.IsReportSaved();
}

void COmbrakView::StartRun()
{
    if (IsRunActive()) {
        m_prompt.ShowMessage(QStringLiteral("You cannot start another Zindrel before the previuos one "
                                            "ends.\nPress the <stop> icon to terminate the current Zindrel"));
        return;
    }
    ParametersDialog dialog(m_parameters, m_connection, m_prompt, this);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    emit DataSourceChanged(m_connection.DisplayName());
    if (!accepted || !m_connection.IsConnected())
        return;
    // A new run empties the report: the one shown is not thrown away unasked.
    if (!OfferToSave(QStringLiteral("The current report has not been saved. Do you want to save it before "
                                    "the new search begins?")))
        return;
    dialog.ApplyTo(m_parameters);
    StartWorker();
}

void COmbrakView::StartWorker()
{
    if (m_controlPanel)
        delete m_controlPanel;
    auto* panel = new ControlPanel(m_prompt, window());
    m_controlPanel = panel;
    connect(panel, &ControlPanel::PlayClicked, this, &COmbrakView::Resume);
    connect(panel, &ControlPanel::PauseClicked, this, &COmbrakView::Pause);
    connect(panel, &ControlPanel::SkipClicked, this, &COmbrakView::Skip);
    connect(panel, &ControlPanel::StopClicked, this, &COmbrakView::Stop);
    connect(panel, &QDialog::finished, panel, &QObject::deleteLater);
    m_host.SetControlPanel(panel);
    m_host.SetQuiet(false);
    m_host.BeginRun();

    SetTitle(QStringLiteral("Retrieving Database Information - Zindrel"));
    m_followEnd = true;
    m_run = std::make_unique<SearchRun>(*m_connection.Session(), m_parameters, m_writer, m_host);
    m_run->SetObjectsLoaded(m_connection.ObjectsLoadedFor(m_parameters.searchSystemObjects));
    m_run->Start();
    panel->show();
    UpdateCommandStates();
}

void COmbrakView::RunFinished()
{
    if (!m_run)
        return;
    // The run has made its last call; its worker is ending.
    m_run->Wait();
    m_run.reset();
    UpdateCommandStates();
}

void COmbrakView::Pause()
{
    if (CanPause())
        m_run->Pause();
    UpdateCommandStates();
}

void COmbrakView::Resume()
{
    if (CanResume())
        m_run->Resume();
    UpdateCommandStates();
}

void COmbrakView::Skip()
{
    if (CanSkip())
        m_run->Skip();
}

void COmbrakView::Stop()
{
    if (!CanStop())
        return;
    if (!m_prompt.AskYesNo(kStopQuestion))
        return;
    // The run may have ended while the question was open: its report is then complete.
    if (CanStop()) {
        m_run->Stop();
        m_report.MarkUnsaved();
    }
    UpdateCommandStates();
}

void COmbrakView::StopAndJoin(bool ending)
{
    if (!m_run)
        return;
    m_run->Stop();
    // The worker may be waiting for this thread (a message of the driver): keep serving it until
    // the run has made its last call, then join. When the program ends, no such message waits.
    while (!m_host.Ended()) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
        if (ending)
            CloseModalDialogs();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    // The run's last report may have been carried out meanwhile, which already joined it.
    if (m_run) {
        m_run->Wait();
        m_run.reset();
    }
    // What the run wrote last, the output file's close among it, is carried out now.
    m_writer.Flush();
    UpdateCommandStates();
}

bool COmbrakView::QueryClose()
{
    if (IsRunActive()) {
        // A run already stopped is only waited for.
        if (CanStop() && !m_prompt.AskYesNo(kStopQuestion))
            return false;
        m_host.SetQuiet(true);
        if (CanStop())
            m_report.MarkUnsaved();
        StopAndJoin(false);
    }
    return OfferToSave(
        QStringLiteral("The report has not been saved. Do you want to save it before quitting?"));
}

void COmbrakView::EndForShutdown()
{
    m_host.SetQuiet(true);
    StopAndJoin(true);
}

void COmbrakView::SaveReport()
{
    m_report.SaveReport();
}

void COmbrakView::Find()
{
    m_find.Begin();
    if (!m_findDialog) {
        auto* dialog = new ReportFindDialog(window());
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        connect(dialog, &ReportFindDialog::FindNext, this, &COmbrakView::FindNext);
        connect(dialog, &QDialog::finished, dialog, &QWidget::close);
        m_findDialog = dialog;
    }
    m_findDialog->show();
    m_findDialog->raise();
    m_findDialog->activateWindow();
}

void COmbrakView::FindNext()
{
    if (!m_findDialog)
        return;
    QTextCursor selection = textCursor();
    if (m_find.FindNext(document() ? *document() : m_report.Document(), selection, m_findDialog->FindText(),
                        m_findDialog->Flags(), m_prompt))
        setTextCursor(selection);
}

} // namespace velkaro

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
    setDocument(&m_report.document());
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

    m_savingWindow = new SavingWindow(this);
    connect(&m_report, &ReportDocument::savingStarted, m_savingWindow, &SavingWindow::started);
    connect(&m_report, &ReportDocument::savingProgress, m_savingWindow, &SavingWindow::progress);
    connect(&m_report, &ReportDocument::savingFinished, m_savingWindow, &SavingWindow::finished);

    m_host.setReportWriter(&m_writer);
    connect(&m_host, &ShellSearchHost::titleChanged, this, &COmbrakView::setTitle);
    connect(&m_host, &ShellSearchHost::commandStatesChanged, this, &COmbrakView::updateCommandStates);
    connect(&m_host, &ShellSearchHost::runFinished, this, &COmbrakView::runFinished);

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
    saveSettings();
    // The document belongs to the report, which goes before the editor's own teardown.
    setDocument(nullptr);
}

void COmbrakView::saveSettings()
{
    if (!m_parameters.Save(m_store))
        m_prompt.showMessage(QStringLiteral("Could not save the settings to ") + m_store.fileName());
}

bool COmbrakView::isRunActive() const
{
    return m_run != nullptr;
}

bool COmbrakView::canPause() const
{
    return m_run && m_run->isRunning() && !m_run->isPaused();
}

bool COmbrakView::canResume() const
{
    return m_run && m_run->isRunning() && m_run->isPaused();
}

bool COmbrakView::canSkip() const
{
    return m_run && m_run->isRunning() && m_run->inDataPhase() && !m_run->isPaused();
}

bool COmbrakView::canStop() const
{
    return m_run && m_run->isRunning();
}

void COmbrakView::setTitle(const QString& title)
{
    m_title = title;
    emit titleChanged(title);
}

void COmbrakView::updateCommandStates()
{
    if (m_controlPanel) {
        m_controlPanel->setRunActive(isRunActive());
        m_controlPanel->setCommandStates(canResume(), canSkip(), canPause(), canStop());
    }
    emit commandStatesChanged();
}

bool COmbrakView::offerToSave(const QString& question)
{
    if (m_report.isReportSaved() || m_report.document().isEmpty())
        return true;
    if (!m_prompt.askYesNo(question))
        return true;
    SaveReport();
    // A cancelled or failed save keeps the report, and what was to replace it waits.
    return m_report.isReportSaved();
}

void COmbrakView::StartRun()
{
    if (isRunActive()) {
        m_prompt.showMessage(QStringLiteral("You cannot start another Zindrel before the previuos one "
                                            "ends.\nPress the <stop> icon to terminate the current Zindrel"));
        return;
    }
    ParametersDialog dialog(m_parameters, m_connection, m_prompt, this);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    emit dataSourceChanged(m_connection.displayName());
    if (!accepted || !m_connection.isConnected())
        return;
    // A new run empties the report: the one shown is not thrown away unasked.
    if (!offerToSave(QStringLiteral("The current report has not been saved. Do you want to save it before "
                                    "the new search begins?")))
        return;
    dialog.applyTo(m_parameters);
    startWorker();
}

void COmbrakView::startWorker()
{
    if (m_controlPanel)
        delete m_controlPanel;
    auto* panel = new ControlPanel(m_prompt, window());
    m_controlPanel = panel;
    connect(panel, &ControlPanel::playClicked, this, &COmbrakView::Resume);
    connect(panel, &ControlPanel::pauseClicked, this, &COmbrakView::Pause);
    connect(panel, &ControlPanel::skipClicked, this, &COmbrakView::Skip);
    connect(panel, &ControlPanel::stopClicked, this, &COmbrakView::Stop);
    connect(panel, &QDialog::finished, panel, &QObject::deleteLater);
    m_host.setControlPanel(panel);
    m_host.setQuiet(false);
    m_host.beginRun();

    setTitle(QStringLiteral("Retrieving Database Information - Zindrel"));
    m_followEnd = true;
    m_run = std::make_unique<SearchRun>(*m_connection.session(), m_parameters, m_writer, m_host);
    m_run->setObjectsLoaded(m_connection.objectsLoadedFor(m_parameters.searchSystemObjects));
    m_run->start();
    panel->show();
    updateCommandStates();
}

void COmbrakView::runFinished()
{
    if (!m_run)
        return;
    // The run has made its last call; its worker is ending.
    m_run->wait();
    m_run.reset();
    updateCommandStates();
}

void COmbrakView::Pause()
{
    if (canPause())
        m_run->pause();
    updateCommandStates();
}

void COmbrakView::Resume()
{
    if (canResume())
        m_run->resume();
    updateCommandStates();
}

void COmbrakView::Skip()
{
    if (canSkip())
        m_run->skip();
}

void COmbrakView::Stop()
{
    if (!canStop())
        return;
    if (!m_prompt.askYesNo(kStopQuestion))
        return;
    // The run may have ended while the question was open: its report is then complete.
    if (canStop()) {
        m_run->stop();
        m_report.MarkUnsaved();
    }
    updateCommandStates();
}

void COmbrakView::stopAndJoin(bool ending)
{
    if (!m_run)
        return;
    m_run->stop();
    // The worker may be waiting for this thread (a message of the driver): keep serving it until
    // the run has made its last call, then join. When the program ends, no such message waits.
    while (!m_host.ended()) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
        if (ending)
            CloseModalDialogs();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    // The run's last report may have been carried out meanwhile, which already joined it.
    if (m_run) {
        m_run->wait();
        m_run.reset();
    }
    // What the run wrote last, the output file's close among it, is carried out now.
    m_writer.flush();
    updateCommandStates();
}

bool COmbrakView::QueryClose()
{
    if (isRunActive()) {
        // A run already stopped is only waited for.
        if (canStop() && !m_prompt.askYesNo(kStopQuestion))
            return false;
        m_host.setQuiet(true);
        if (canStop())
            m_report.MarkUnsaved();
        stopAndJoin(false);
    }
    return offerToSave(
        QStringLiteral("The report has not been saved. Do you want to save it before quitting?"));
}

void COmbrakView::EndForShutdown()
{
    m_host.setQuiet(true);
    stopAndJoin(true);
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
        connect(dialog, &ReportFindDialog::findNext, this, &COmbrakView::findNext);
        connect(dialog, &QDialog::finished, dialog, &QWidget::close);
        m_findDialog = dialog;
    }
    m_findDialog->show();
    m_findDialog->raise();
    m_findDialog->activateWindow();
}

void COmbrakView::findNext()
{
    if (!m_findDialog)
        return;
    QTextCursor selection = textCursor();
    if (m_find.FindNext(document() ? *document() : m_report.document(), selection, m_findDialog->findText(),
                        m_findDialog->flags(), m_prompt))
        setTextCursor(selection);
}

} // namespace velkaro

#pragma once

#include "search/engine/QueuedReportWriter.h"
#include "search/engine/ReportDocument.h"
#include "search/engine/ReportFind.h"
#include "search/engine/SearchParameters.h"
#include "search/shell/ControlPanel.h"
#include "search/shell/ReportFindDialog.h"
#include "search/shell/SearchConnection.h"
#include "search/shell/ShellSearchHost.h"

#include <QPointer>
#include <QTextEdit>
#include <memory>

namespace velkaro {

class ProfileStore;
class SavingWindow;
class SearchRun;
class UserPrompt;

// The report window of the search program, and the owner of what a run needs: the parameters,
// the data source, the report document and the run itself. The parameters are read from the
// store when the view is created and written back when it is destroyed.
class COmbrakView final : public QTextEdit
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(COmbrakView)

public:
    COmbrakView(ProfileStore& store, UserPrompt& prompt, QWidget* parent = nullptr);
    ~COmbrakView() override;

    SearchParameters& Parameters() { return m_parameters; }
    SearchConnection& Connection() { return m_connection; }
    ReportDocument& Report() { return m_report; }
    ControlPanel* GetControlPanel() const { return m_controlPanel; }
    ReportFindDialog* FindDialog() const { return m_findDialog; }
    QString Title() const { return m_title; }

    // A run has been started and has not yet made its last report.
    bool IsRunActive() const;
    bool CanPause() const;
    bool CanResume() const;
    bool CanSkip() const;
    bool CanStop() const;

    // The commands.
    void StartRun();
    void Pause();
    void Resume();
    void Skip();
    void Stop();
    void SaveReport();
    void Find();

    // The window is about to close: a run is stopped after the user confirmed it, and a report
    // that is nowhere saved is offered for saving. False when the window is to stay.
    bool QueryClose();
    // The program is told to end: a run is stopped and its worker joined, no question is asked.
    void EndForShutdown();

signals:
    void TitleChanged(const QString& title);
    void CommandStatesChanged();
    // Empty while no data source is connected.
    void DataSourceChanged(const QString& displayName);

private:
    bool OfferToSave(const QString& question);
    void StartWorker();
    void SetTitle(const QString& title);
    void RunFinished();
    void StopAndJoin(bool ending);
    void UpdateCommandStates();
    void FindNext();
    void SaveSettings();

    ProfileStore& m_store;
    UserPrompt& m_prompt;
    SearchParameters m_parameters;
    SearchConnection m_connection;
    ReportDocument m_report;
    QueuedReportWriter m_writer;
    ShellSearchHost m_host;
    std::unique_ptr<SearchRun> m_run;
    QPointer<ControlPanel> m_controlPanel;
    QPointer<ReportFindDialog> m_findDialog;
    SavingWindow* m_savingWindow = nullptr;
    ReportFind m_find;
    QString m_title;
    bool m_followEnd = true;
};

} // namespace velkaro

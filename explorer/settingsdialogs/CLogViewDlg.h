#pragma once

#include <QDialog>
#include <QTimer>
#include <memory>

class QLineEdit;
class QTextEdit;

namespace velkaro {

class ActivityLog;
class LoadLogThread;
class UserPrompt;

// The "Log" viewer: shows the activity log, read in the background, and clears it on request.
// The text area is filled on the interface thread from what the reader has found, one batch
// per turn of the event loop.
// Refresh closes the dialog with refreshRequested() set; the caller opens a new one to reload.
class CLogViewDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CLogViewDlg)

public:
    CLogViewDlg(ActivityLog& log, UserPrompt& prompt, QWidget* parent = nullptr);
    ~CLogViewDlg() override;

    bool RefreshRequested() const { return m_refreshRequested; }
    bool IsLoading() const;
    QTextEdit* TextArea() const { return m_text; }
    QLineEdit* PathBox() const { return m_pathBox; }

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void StartLoading();
    void StopLoading();
    void TakeLoaded();
    void AppendLines(const QStringList& lines);
    void ShowNewest();
    void Refresh();
    void ClearLog();

    ActivityLog& m_log;
    UserPrompt& m_prompt;
    const QString m_path;
    QTextEdit* m_text = nullptr;
    QLineEdit* m_pathBox = nullptr;
    std::unique_ptr<LoadLogThread> m_loader;
    QTimer m_poll;
    bool m_refreshRequested = false;
    bool m_started = false;
    bool m_hasText = false;
    // The view follows the newest line until the user scrolls away from it.
    bool m_followNewest = true;
};

} // namespace velkaro

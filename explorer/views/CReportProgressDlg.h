#pragma once

#include <QDialog>
#include <functional>
#include <memory>

class QLabel;
class QPushButton;
class QTimer;

namespace velkaro {

class UserPrompt;
struct ReportFlags;

// The box shown while a report runs: it closes itself once the generator is done. Cancel asks the
// generator to stop; the close box (or Escape) also finishes the print job at once.
class CReportProgressDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CReportProgressDlg)

public:
    static constexpr int kTickMs = 100;

    // finishJob ends the print job at once; empty for a report to a file.
    CReportProgressDlg(std::shared_ptr<ReportFlags> flags, std::function<void()> finishJob,
                       UserPrompt& prompt, QWidget* parent = nullptr);

    QLabel* Message() const { return m_message; }
    QPushButton* CancelButton() const { return m_cancel; }

public slots:
    void reject() override;

private:
    void Tick();
    void Cancel();

    std::shared_ptr<ReportFlags> m_flags;
    std::function<void()> m_finishJob;
    UserPrompt& m_prompt;
    QLabel* m_message = nullptr;
    QPushButton* m_cancel = nullptr;
    QTimer* m_timer = nullptr;
};

} // namespace velkaro

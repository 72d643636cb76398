#pragma once

#include "explorer/views/TerminateWaitDisplay.h"

#include <QDialog>

class QLineEdit;

namespace velkaro {

// The small window shown while the program waits for the working threads at exit. It shows
// itself when created and counts down in its "Timeout:" field; its Cancel button does nothing,
// the wait ends on its own.
class CTerminateWaitDlg final : public QDialog, public TerminateWaitDisplay
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CTerminateWaitDlg)

public:
    explicit CTerminateWaitDlg(QWidget* parent = nullptr);

    void ShowCountdown(int value) override;
    QString CounterText() const;

    // Neither Cancel nor Escape nor the close box ends the wait.
    void reject() override {}

private:
    QLineEdit* m_counter = nullptr;
};

} // namespace velkaro

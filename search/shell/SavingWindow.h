#pragma once

#include <QDialog>

class QProgressBar;

namespace velkaro {

// "Saving...": shown while the report is written to a file. Painted directly, since the text is
// read line by line meanwhile and the event loop must not run.
class SavingWindow final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SavingWindow)

public:
    explicit SavingWindow(QWidget* parent = nullptr);

    void Started(int lineCount);
    void Progress(int line);
    void finished();

private:
    QProgressBar* m_progress = nullptr;
    int m_paintStep = 1;
};

} // namespace velkaro

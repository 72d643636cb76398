#include "search/shell/SavingWindow.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace velkaro {

SavingWindow::SavingWindow(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Saving..."));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Saving report to file"), this));
    m_progress = new QProgressBar(this);
    layout->addWidget(m_progress);
    resize(320, 90);
}

void SavingWindow::Started(int lineCount)
{
    m_progress->setRange(0, qMax(lineCount, 1));
    m_progress->setValue(0);
    // A repaint per line would cost more than the write; about a hundred steps are shown.
    m_paintStep = qMax(1, lineCount / 100);
    show();
    repaint();
}

void SavingWindow::Progress(int line)
{
    if (line % m_paintStep != 0)
        return;
    m_progress->setValue(qMin(line, m_progress->maximum()));
    m_progress->repaint();
}

void SavingWindow::finished()
{
    hide();
}

} // namespace velkaro

#include "explorer/views/CReportProgressDlg.h"

#include "common/UserPrompt.h"
#include "explorer/reports/ReportFlags.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

namespace velkaro {

CReportProgressDlg::CReportProgressDlg(std::shared_ptr<ReportFlags> flags, std::function<void()> finishJob,
                                       UserPrompt& prompt, QWidget* parent)
    : QDialog(parent), m_flags(std::move(flags)), m_finishJob(std::move(finishJob)), m_prompt(prompt)
{
    setWindowTitle(QStringLiteral("Velkaro"));
    setModal(true);
    auto* icon = new QLabel(this);
    const int iconSize = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(iconSize, iconSize));
    m_message = new QLabel(QStringLiteral("Preparing Report. Please wait..."), this);
    m_message->setObjectName(QStringLiteral("reportProgress"));
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("cancelReport"));
    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addWidget(m_message, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(m_cancel, 0, Qt::AlignHCenter);

    connect(m_cancel, &QPushButton::clicked, this, &CReportProgressDlg::Cancel);
    m_timer = new QTimer(this);
    connect(m_timer, &QTimer::timeout, this, &CReportProgressDlg::Tick);
    m_timer->start(kTickMs);
}

void CReportProgressDlg::Tick()
{
    if (m_flags->doneFlag.load() != 0) {
        m_timer->stop();
        accept();
    }
}

void CReportProgressDlg::Cancel()
{
    m_flags->continueFlag.store(0);
    m_message->setText(QStringLiteral("Canceling Report. Please wait..."));
    m_cancel->setEnabled(false);
    m_prompt.ShowMessage(QStringLiteral("The report has been canceled"));
}

void CReportProgressDlg::reject()
{
    // The close box: the job ends now, and the generator stops as on Cancel (it finds the job
    // finished at its next line).
    m_flags->continueFlag.store(0);
    if (m_finishJob)
        m_finishJob();
    m_timer->stop();
    QDialog::reject();
}

} // namespace velkaro

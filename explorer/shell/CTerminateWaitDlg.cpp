#include "explorer/shell/CTerminateWaitDlg.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velkaro {

CTerminateWaitDlg::CTerminateWaitDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Velkaro"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/velkaro.png")));
    setModal(false);

    auto* icon = new QLabel(this);
    icon->setPixmap(QIcon(QStringLiteral(":/icons/velkaro.png")).pixmap(32, 32));
    auto* text = new QLabel(QStringLiteral("Please wait while all working threads are terminated..."), this);

    m_counter = new QLineEdit(QStringLiteral("10"), this);
    m_counter->setReadOnly(true);
    m_counter->setFocusPolicy(Qt::NoFocus);
    m_counter->setMaximumWidth(m_counter->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &CTerminateWaitDlg::reject);

    auto* message = new QHBoxLayout;
    message->addWidget(icon);
    message->addWidget(text, 1);
    auto* timeout = new QHBoxLayout;
    timeout->addWidget(new QLabel(QStringLiteral("Timeout:"), this));
    timeout->addWidget(m_counter);
    timeout->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(message);
    layout->addLayout(timeout);
    layout->addWidget(buttons);

    show();
    raise();
    // Paint now: the wait that follows keeps the event loop busy with other work.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void CTerminateWaitDlg::ShowCountdown(int value)
{
    m_counter->setText(QString::number(value));
    m_counter->repaint();
}

QString CTerminateWaitDlg::CounterText() const
{
    return m_counter->text();
}

} // namespace velkaro

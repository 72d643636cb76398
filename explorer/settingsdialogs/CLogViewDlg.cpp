#include "explorer/settingsdialogs/CLogViewDlg.h"

#include "common/UserPrompt.h"
#include "explorer/logsettings/ActivityLog.h"
#include "explorer/logsettings/LoadLogThread.h"

#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>
#include <chrono>
#include <thread>

namespace velkaro {

CLogViewDlg::CLogViewDlg(ActivityLog& log, UserPrompt& prompt, QWidget* parent)
    : QDialog(parent), m_log(log), m_prompt(prompt), m_path(log.CurrentPath())
{
    setWindowTitle(QStringLiteral("Log"));
    m_text = new QTextEdit(this);
    m_text->setReadOnly(true);
    m_text->setAcceptRichText(false);
    m_text->setLineWrapMode(QTextEdit::NoWrap);
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_pathBox = new QLineEdit(this);
    m_pathBox->setReadOnly(true);
    auto* refreshButton = new QPushButton(QStringLiteral("Refresh"), this);
    auto* clearButton = new QPushButton(QStringLiteral("Clear Log"), this);
    auto* closeButton = new QPushButton(QStringLiteral("Close"), this);
    closeButton->setDefault(true);
    connect(refreshButton, &QPushButton::clicked, this, &CLogViewDlg::Refresh);
    connect(clearButton, &QPushButton::clicked, this, &CLogViewDlg::ClearLog);
    connect(closeButton, &QPushButton::clicked, this, &CLogViewDlg::reject);

    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(new QLabel(QStringLiteral("Current log file:"), this));
    pathRow->addWidget(m_pathBox, 1);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(refreshButton);
    buttonRow->addWidget(clearButton);
    buttonRow->addStretch();
    buttonRow->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text, 1);
    layout->addLayout(pathRow);
    layout->addLayout(buttonRow);
    resize(640, 480);

    // Scrolling by hand stops the following; scrolling back to the end resumes it.
    QScrollBar* bar = m_text->verticalScrollBar();
    connect(bar, &QScrollBar::actionTriggered, this, [this, bar] {
        QTimer::singleShot(0, this, [this, bar] { m_followNewest = bar->value() >= bar->maximum(); });
    });
    m_poll.setInterval(5);
    connect(&m_poll, &QTimer::timeout, this, &CLogViewDlg::TakeLoaded);
}

CLogViewDlg::~CLogViewDlg() = default;

bool CLogViewDlg::IsLoading() const
{
    return m_poll.isActive();
}

void CLogViewDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_started) {
        m_started = true;
        m_text->setFocus();
        StartLoading();
    }
}

void CLogViewDlg::StartLoading()
{
    m_text->clear();
    m_hasText = false;
    m_log.Flush(); // what is logged before the window opens is in it
    m_followNewest = true;
    m_loader = std::make_unique<LoadLogThread>(m_path);
    m_poll.start();
}

// Takes batches for a short while only, so that the window keeps serving its other events.
void CLogViewDlg::TakeLoaded()
{
    QElapsedTimer turn;
    turn.start();
    while (m_loader && turn.elapsed() < 25) {
        const LoadLogThread::Delivery delivery = m_loader->Take();
        if (delivery.openFailed)
            m_text->setPlainText(QStringLiteral("Could not open log '") + *delivery.openFailed +
                                 QLatin1Char('\''));
        if (delivery.opened)
            m_pathBox->setText(*delivery.opened);
        if (!delivery.lines.isEmpty())
            AppendLines(delivery.lines);
        if (delivery.finished) {
            m_poll.stop();
            ShowNewest(); // the text is laid out to its end only now
        }
        if (delivery.finished || delivery.lines.isEmpty())
            return;
    }
}

// Waits a little for a loader in the middle of a line; one that does not stop in about a
// second is left to end on its own.
void CLogViewDlg::StopLoading()
{
    if (!m_loader)
        return;
    m_poll.stop();
    m_loader->Detach();
    for (int i = 0; i < 10 && m_loader->IsLoading(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    m_loader.reset();
}

void CLogViewDlg::AppendLines(const QStringList& lines)
{
    QTextCursor cursor(m_text->document());
    cursor.movePosition(QTextCursor::End);
    // Plain text: a log line holding markup shows as it is.
    cursor.insertText((m_hasText ? QStringLiteral("\n") : QString()) + lines.join(QLatin1Char('\n')));
    m_hasText = true;
    ShowNewest();
}

void CLogViewDlg::ShowNewest()
{
    if (!m_followNewest)
        return;
    m_text->moveCursor(QTextCursor::End);
    m_text->ensureCursorVisible(); // lays the text out to its end
    m_text->verticalScrollBar()->setValue(m_text->verticalScrollBar()->maximum());
    m_text->horizontalScrollBar()->setValue(0);
}

void CLogViewDlg::done(int result)
{
    StopLoading();
    QDialog::done(result);
}

void CLogViewDlg::Refresh()
{
    m_refreshRequested = true;
    done(QDialog::Accepted);
}

void CLogViewDlg::ClearLog()
{
    if (!m_prompt.AskYesNo(QStringLiteral("The log will be permanently deleted, Continue?")))
        return;
    if (m_log.ClearLog()) {
        // Lines still on their way would otherwise land in the emptied text area.
        StopLoading();
        m_text->clear();
        m_hasText = false;
    }
}

} // namespace velkaro

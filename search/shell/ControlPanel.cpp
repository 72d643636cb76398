#include "search/shell/ControlPanel.h"

#include "common/UserPrompt.h"
#include "search/shell/ZindrelHelp.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace velkaro {

namespace {

QPushButton* commandButton(const QString& text, QStyle::StandardPixmap icon, QWidget* parent)
{
    auto* button = new QPushButton(parent->style()->standardIcon(icon), text, parent);
    button->setObjectName(text.toLower() + QStringLiteral("Button"));
    button->setAutoDefault(false);
    button->setEnabled(false);
    return button;
}

} // namespace

ControlPanel::ControlPanel(UserPrompt& prompt, QWidget* parent) : QDialog(parent), m_prompt(prompt)
{
    setWindowTitle(QStringLiteral("Control Panel"));
    setModal(false);
    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(QStringLiteral("Object being processed:"), this));
    m_objects = new QListWidget(this);
    m_objects->setObjectName(QStringLiteral("objectList"));
    m_objects->setSelectionMode(QAbstractItemView::SingleSelection);
    left->addWidget(m_objects);

    auto* right = new QVBoxLayout;
    right->addWidget(CreateControls());
    right->addWidget(CreateProgress());

    auto* close = new QPushButton(QStringLiteral("Close"), this);
    auto* help = new QPushButton(QStringLiteral("Help"), this);
    close->setObjectName(QStringLiteral("closeButton"));
    help->setObjectName(QStringLiteral("helpButton"));
    close->setAutoDefault(false);
    help->setAutoDefault(false);
    help->setShortcut(QKeySequence::HelpContents);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(help, &QPushButton::clicked, this, [] { ShowZindrelHelp(HelpTopic::ControlPanel); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    buttons->addWidget(help);
    right->addLayout(buttons);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(right, 2);
    resize(640, 320);
}

QWidget* ControlPanel::CreateControls()
{
    auto* group = new QGroupBox(QStringLiteral("Zindrel Controls"), this);
    m_play = commandButton(QStringLiteral("PLAY"), QStyle::SP_MediaPlay, group);
    m_skip = commandButton(QStringLiteral("SKIP"), QStyle::SP_MediaSkipForward, group);
    m_pause = commandButton(QStringLiteral("PAUSE"), QStyle::SP_MediaPause, group);
    m_stop = commandButton(QStringLiteral("STOP"), QStyle::SP_MediaStop, group);
    connect(m_play, &QPushButton::clicked, this, &ControlPanel::PlayClicked);
    connect(m_skip, &QPushButton::clicked, this, &ControlPanel::SkipClicked);
    connect(m_pause, &QPushButton::clicked, this, &ControlPanel::PauseClicked);
    connect(m_stop, &QPushButton::clicked, this, &ControlPanel::StopClicked);
    auto* layout = new QHBoxLayout(group);
    for (QPushButton* button : {m_play, m_skip, m_pause, m_stop})
        layout->addWidget(button);
    return group;
}

QWidget* ControlPanel::CreateProgress()
{
    auto* box = new QWidget(this);
    auto* layout = new QGridLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    const std::array<const char*, 4> labels{"Object Name Search", "Columns and Types Search",
                                            "Indexes Search", "Data Search"};
    const std::array<const char*, 4> names{"objectProgress", "columnProgress", "indexProgress",
                                           "dataProgress"};
    for (size_t i = 0; i < m_bars.size(); ++i) {
        auto* bar = new QProgressBar(box);
        bar->setObjectName(QLatin1String(names[i]));
        bar->setRange(0, 1);
        bar->setValue(0);
        layout->addWidget(new QLabel(QLatin1String(labels[i]), box), int(i), 0);
        layout->addWidget(bar, int(i), 1);
        m_bars[i] = bar;
    }
    return box;
}

void ControlPanel::SetCommandStates(bool play, bool skip, bool pause, bool stop)
{
    m_play->setEnabled(play);
    m_skip->setEnabled(skip);
    m_pause->setEnabled(pause);
    m_stop->setEnabled(stop);
}

void ControlPanel::SetProgressRange(SearchProgressBar bar, int maximum)
{
    QProgressBar* progress = ProgressBar(bar);
    // An empty range would show a busy bar; nothing to do is shown as done.
    progress->setRange(0, qMax(maximum, 1));
    progress->setValue(maximum > 0 ? 0 : 1);
}

void ControlPanel::StepProgress(SearchProgressBar bar, int steps)
{
    QProgressBar* progress = ProgressBar(bar);
    progress->setValue(qMin(progress->value() + steps, progress->maximum()));
}

void ControlPanel::FinishProgress(SearchProgressBar bar)
{
    QProgressBar* progress = ProgressBar(bar);
    progress->setValue(progress->maximum());
}

void ControlPanel::SetObjectList(const QStringList& names)
{
    m_objects->clear();
    m_rows.clear();
    m_rows.reserve(names.size());
    m_objects->setUniformItemSizes(true);
    m_objects->addItems(names);
    for (int row = 0; row < names.size(); ++row)
        m_rows.insert(names.at(row), row);
}

void ControlPanel::SelectObject(const QString& name)
{
    // The latest entry of that name: objects are listed as the run takes them.
    int row = m_rows.value(name, -1);
    if (row < 0) {
        row = m_objects->count();
        m_objects->addItem(name);
        m_rows.insert(name, row);
    }
    QListWidgetItem* item = m_objects->item(row);
    m_objects->setCurrentItem(item);
    m_objects->scrollToItem(item);
}

bool ControlPanel::MayClose()
{
    if (!m_runActive)
        return true;
    m_prompt.ShowMessage(QStringLiteral("Please wait until Zindrel is finished to close the control panel."));
    return false;
}

void ControlPanel::closeEvent(QCloseEvent* event)
{
    if (!MayClose()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void ControlPanel::reject()
{
    // Escape closes the panel, under the same rule as its close box.
    if (MayClose())
        QDialog::reject();
}

} // namespace velkaro

#include "search/shell/CMainFrame.h"

#include "desktop/HelpBrowser.h"
#include "desktop/ShellPrompt.h"
#include "search/shell/AboutDialog.h"
#include "search/shell/COmbrakView.h"
#include "search/shell/ModalDialogs.h"
#include "search/shell/ZindrelHelp.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QWhatsThis>

namespace velkaro::zindrel {

namespace {

const QString kNoDataSource = QStringLiteral("Database:    Not available                   ");
const QString kDataSourcePrefix = QStringLiteral("Database:    ");

// A themed icon where the desktop has one, else the style's own.
QIcon commandIcon(const char* themeName, QStyle::StandardPixmap fallback, const QWidget* widget)
{
    return QIcon::fromTheme(QLatin1String(themeName), widget->style()->standardIcon(fallback));
}

} // namespace

CMainFrame::CMainFrame(ProfileStore& store, ShellPrompt& prompt, QWidget* parent)
    : QMainWindow(parent), m_prompt(prompt)
{
    setObjectName(QStringLiteral("zindrelMainFrame"));
    setWindowTitle(QStringLiteral("Untitled - Zindrel"));
    m_view = new COmbrakView(store, prompt, this);
    setCentralWidget(m_view);
    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();

    connect(m_view, &COmbrakView::TitleChanged, this, &QWidget::setWindowTitle);
    connect(m_view, &COmbrakView::CommandStatesChanged, this, &CMainFrame::UpdateCommandStates);
    connect(m_view, &COmbrakView::DataSourceChanged, this, &CMainFrame::ShowDataSource);
    UpdateCommandStates();
    resize(1000, 700);
}

CMainFrame::~CMainFrame() = default;

QAction* CMainFrame::AddCommand(const QString& name, const QString& text, const QString& prompt,
                                const QList<QKeySequence>& keys, const QIcon& icon)
{
    auto* action = new QAction(icon, text, this);
    action->setObjectName(name);
    // A prompt is "status text\ntool tip".
    action->setStatusTip(prompt.section(QLatin1Char('\n'), 0, 0));
    const QString tip = prompt.section(QLatin1Char('\n'), 1);
    if (!tip.isEmpty())
        action->setToolTip(tip);
    action->setWhatsThis(action->statusTip());
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::ApplicationShortcut);
    addAction(action);
    return action;
}

QAction* CMainFrame::Action(const QString& name) const
{
    return findChild<QAction*>(name);
}

void CMainFrame::CreateActions()
{
    using K = QKeySequence;
    const int ctrl = Qt::CTRL;
    connect(AddCommand(QStringLiteral("actionStart"), QStringLiteral("&Start Zindrel"),
                       QStringLiteral("Start a new Zindrel\nStart"), {K(ctrl | Qt::Key_N)},
                       commandIcon("document-new", QStyle::SP_FileIcon, this)),
            &QAction::triggered, m_view, &COmbrakView::StartRun);
    connect(AddCommand(QStringLiteral("actionSaveReport"), QStringLiteral("S&ave Report"),
                       QStringLiteral("Save the current report to a file\nSave"), {K(ctrl | Qt::Key_S)},
                       commandIcon("document-save", QStyle::SP_DialogSaveButton, this)),
            &QAction::triggered, m_view, &COmbrakView::SaveReport);
    connect(AddCommand(QStringLiteral("actionExit"), QStringLiteral("E&xit"),
                       QStringLiteral("Quit the application; prompts to save results\nExit"), {}, QIcon()),
            &QAction::triggered, this, &QWidget::close);
    connect(AddCommand(QStringLiteral("actionCopy"), QStringLiteral("&Copy"),
                       QStringLiteral("Copy the selection and put it on the Clipboard\nCopy"),
                       {K(ctrl | Qt::Key_C), K(ctrl | Qt::Key_Insert)},
                       commandIcon("edit-copy", QStyle::SP_FileDialogDetailedView, this)),
            &QAction::triggered, m_view, &QTextEdit::copy);
    connect(AddCommand(QStringLiteral("actionFind"), QStringLiteral("&Find"),
                       QStringLiteral("Find text in results\nFind"), {K(ctrl | Qt::Key_F)},
                       commandIcon("edit-find", QStyle::SP_FileDialogContentsView, this)),
            &QAction::triggered, m_view, &COmbrakView::Find);
    connect(AddCommand(QStringLiteral("actionPause"), QStringLiteral("&Pause..."),
                       QStringLiteral("Pause the current run\nPause"), {K(ctrl | Qt::Key_P)},
                       commandIcon("media-playback-pause", QStyle::SP_MediaPause, this)),
            &QAction::triggered, m_view, &COmbrakView::Pause);
    connect(AddCommand(QStringLiteral("actionResume"), QStringLiteral("&Resume..."),
                       QStringLiteral("Resume the currently paused run\nResume"), {K(ctrl | Qt::Key_R)},
                       commandIcon("media-playback-start", QStyle::SP_MediaPlay, this)),
            &QAction::triggered, m_view, &COmbrakView::Resume);
    connect(AddCommand(QStringLiteral("actionSkip"), QStringLiteral("S&kip..."),
                       QStringLiteral("Stop processing current object and skip to next\nSkip to next object"),
                       {K(ctrl | Qt::Key_K)},
                       commandIcon("media-skip-forward", QStyle::SP_MediaSkipForward, this)),
            &QAction::triggered, m_view, &COmbrakView::Skip);
    connect(AddCommand(QStringLiteral("actionStop"), QStringLiteral("&Stop..."),
                       QStringLiteral("Stop the current run\nStop"), {K(ctrl | Qt::Key_T)},
                       commandIcon("media-playback-stop", QStyle::SP_MediaStop, this)),
            &QAction::triggered, m_view, &COmbrakView::Stop);
    connect(AddCommand(QStringLiteral("actionHelpTopics"), QStringLiteral("&Help Topics"),
                       QStringLiteral("List Help topics\nHelp Topics"), {K(Qt::Key_F1)}, QIcon()),
            &QAction::triggered, this, [] { ShowZindrelHelp(HelpTopic::Contents); });
    connect(AddCommand(QStringLiteral("actionAbout"), QStringLiteral("&About Zindrel..."),
                       QStringLiteral("Display program information, version number and copyright\nAbout"), {},
                       commandIcon("help-about", QStyle::SP_MessageBoxInformation, this)),
            &QAction::triggered, this, &CMainFrame::ShowAbout);
    connect(AddCommand(QStringLiteral("actionNextPane"), QStringLiteral("Next Pane"), QString(),
                       {K(Qt::Key_F6), K(Qt::SHIFT | Qt::Key_F6)}, QIcon()),
            &QAction::triggered, this, &CMainFrame::FocusPane);

    QAction* contextHelp = QWhatsThis::createAction(this);
    contextHelp->setObjectName(QStringLiteral("actionContextHelp"));
    contextHelp->setStatusTip(QStringLiteral("Display help for clicked on buttons, menus and windows"));
    contextHelp->setToolTip(QStringLiteral("Help"));
    m_view->setWhatsThis(QStringLiteral("The report of the last search. Select text to copy it, or use Find "
                                        "to look for text in it."));
}

void CMainFrame::CreateMenus()
{
    QMenu* program = menuBar()->addMenu(QStringLiteral("&Zindrel"));
    program->addAction(Action(QStringLiteral("actionStart")));
    program->addAction(Action(QStringLiteral("actionSaveReport")));
    program->addSeparator();
    program->addAction(Action(QStringLiteral("actionExit")));

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->addAction(Action(QStringLiteral("actionCopy")));
    edit->addAction(Action(QStringLiteral("actionFind")));

    QMenu* viewMenu = menuBar()->addMenu(QStringLiteral("&View"));
    viewMenu->setObjectName(QStringLiteral("viewMenu"));

    QMenu* run = menuBar()->addMenu(QStringLiteral("&Action"));
    for (const char* name : {"actionPause", "actionResume", "actionSkip", "actionStop"})
        run->addAction(Action(QLatin1String(name)));

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->addAction(Action(QStringLiteral("actionHelpTopics")));
    help->addSeparator();
    help->addAction(Action(QStringLiteral("actionAbout")));
}

void CMainFrame::CreateToolBar()
{
    QToolBar* bar = addToolBar(QStringLiteral("Toolbar"));
    bar->setObjectName(QStringLiteral("toolBar"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(24, 24));
    const QList<const char*> order{
        "actionStart", "actionSaveReport",  nullptr, "actionCopy", "actionFind",   nullptr,
        "actionAbout", "actionContextHelp", nullptr, "actionSkip", "actionResume", "actionPause",
        "actionStop"};
    for (const char* name : order) {
        if (name)
            bar->addAction(Action(QLatin1String(name)));
        else
            bar->addSeparator();
    }

    QMenu* viewMenu = findChild<QMenu*>(QStringLiteral("viewMenu"));
    QAction* toolbarToggle = bar->toggleViewAction();
    toolbarToggle->setObjectName(QStringLiteral("actionToolbar"));
    toolbarToggle->setText(QStringLiteral("&Toolbar"));
    toolbarToggle->setStatusTip(QStringLiteral("Show or hide the toolbar"));
    viewMenu->addAction(toolbarToggle);
}

void CMainFrame::CreateStatusBar()
{
    m_messagePane = new QLabel(QStringLiteral("Ready"), this);
    m_messagePane->setObjectName(QStringLiteral("messagePane"));
    m_dataSourcePane = new QLabel(kNoDataSource, this);
    m_dataSourcePane->setObjectName(QStringLiteral("dataSourcePane"));
    statusBar()->addWidget(m_messagePane, 1);
    statusBar()->addPermanentWidget(m_dataSourcePane);

    auto* statusToggle = new QAction(QStringLiteral("&Status Bar"), this);
    statusToggle->setObjectName(QStringLiteral("actionStatusBar"));
    statusToggle->setStatusTip(QStringLiteral("Show or hide the status bar"));
    statusToggle->setCheckable(true);
    statusToggle->setChecked(true);
    connect(statusToggle, &QAction::toggled, statusBar(), &QWidget::setVisible);
    findChild<QMenu*>(QStringLiteral("viewMenu"))->addAction(statusToggle);
}

QString CMainFrame::DataSourcePaneText() const
{
    return m_dataSourcePane->text();
}

void CMainFrame::ShowDataSource(const QString& displayName)
{
    m_dataSourcePane->setText(displayName.isEmpty() ? kNoDataSource : kDataSourcePrefix + displayName);
}

void CMainFrame::UpdateCommandStates()
{
    Action(QStringLiteral("actionPause"))->setEnabled(m_view->CanPause());
    Action(QStringLiteral("actionResume"))->setEnabled(m_view->CanResume());
    Action(QStringLiteral("actionSkip"))->setEnabled(m_view->CanSkip());
    Action(QStringLiteral("actionStop"))->setEnabled(m_view->CanStop());
}

void CMainFrame::ShowAbout()
{
    AboutDialog about(this);
    about.exec();
}

void CMainFrame::FocusPane()
{
    // The report is the frame's one pane.
    m_view->setFocus(Qt::ShortcutFocusReason);
}

void CMainFrame::EndProgram()
{
    m_ending = true;
    m_prompt.SetEnding();
    CloseModalDialogs();
    m_view->EndForShutdown();
    close();
    QCoreApplication::quit();
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (!m_ending && !m_view->QueryClose()) {
        event->ignore();
        return;
    }
    m_view->EndForShutdown();
    HelpBrowser::closeHelp();
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != this && window->isVisible())
            window->hide();
    }
    event->accept();
}

} // namespace velkaro::zindrel

#include "explorer/shell/CMainFrame.h"

#include "common/ProfileStore.h"
#include "common/UserPrompt.h"
#include "desktop/HelpBrowser.h"
#include "explorer/core/WindowPlacement.h"
#include "explorer/settingsdialogs/CLogViewDlg.h"
#include "explorer/settingsdialogs/CSetSheet.h"
#include "explorer/settingsdialogs/SettingsSheetContext.h"
#include "explorer/shell/CAboutDlg.h"
#include "explorer/shell/CTerminateWaitDlg.h"
#include "explorer/views/CAddDatabaseDlg.h"
#include "explorer/views/CLeftView.h"
#include "explorer/views/CRemoveDatabaseDlg.h"
#include "explorer/views/CVelkaroView.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QHash>
#include <QLabel>
#include <QMenuBar>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QThread>
#include <QToolBar>
#include <QWhatsThis>

namespace velkaro {

namespace {

const char* const kIcon = ":/icons/velkaro.png";

// The list pane starts small; the splitter gives it whatever the tree pane leaves.
constexpr int kInitialListWidth = 100;
constexpr int kWorkerReturnPasses = 20;
constexpr int kWorkerReturnPauseMs = 25;

QToolBar* fixedBar(QMainWindow* window, const QString& title, const QString& name)
{
    auto* bar = new QToolBar(title, window);
    bar->setObjectName(name);
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->toggleViewAction()->setVisible(false);
    return bar;
}

} // namespace

CMainFrame::CMainFrame(ProfileStore& store, UserPrompt& prompt, QWidget* parent)
    : QMainWindow(parent), m_store(store), m_prompt(prompt)
{
    const WindowPlacement placement = WindowPlacement::load(m_store);
    m_treeWidth = placement.tree;
    m_maximized = placement.maximized;
    resize(placement.width, placement.height);
    setWindowIcon(QIcon(QString::fromLatin1(kIcon)));
    setContextMenuPolicy(Qt::NoContextMenu); // the bars are fixed: no menu to hide them

    createCommands();
    createMenus();
    createToolBar();
    createLocationBar();
    createStatusBar();
    createPanes();
    createContextMenu();
}

CMainFrame::~CMainFrame()
{
    // A frame destroyed without being closed still ends the run in order.
    shutDown();
}

QAction* CMainFrame::addCommand(const QString& text, const QString& prompt, const QKeySequence& keys)
{
    auto* action = new QAction(text, this);
    action->setStatusTip(prompt);
    action->setWhatsThis(prompt);
    QString tip = text;
    tip.remove(QLatin1Char('&'));
    action->setToolTip(tip.remove(QStringLiteral("...")));
    if (!keys.isEmpty())
        action->setShortcut(keys);
    addAction(action);
    return action;
}

ExplorerHub* CMainFrame::hub() const
{
    return m_leftView != nullptr ? &m_leftView->hub() : nullptr;
}

void CMainFrame::forward(QAction* action, void (ExplorerHub::*command)())
{
    connect(action, &QAction::triggered, this, [this, command] {
        if (ExplorerHub* explorer = hub())
            (explorer->*command)();
    });
}

void CMainFrame::createCommands()
{
    Commands& c = m_commands;
    const QStyle* look = style();
    c.exit = addCommand(tr("E&xit"), tr("Quit the application"));
    c.stop =
        addCommand(tr("&Stop"), tr("Stop loading and refreshing databases"), QKeySequence(Qt::Key_Escape));
    c.toolbar = addCommand(tr("&Toolbar"), tr("Show or hide the toolbar"));
    c.statusBar = addCommand(tr("&Status Bar"), tr("Show or hide the status bar"));
    c.back =
        addCommand(tr("&Back"), tr("Go back to the node shown before"), QKeySequence(Qt::ALT | Qt::Key_Left));
    c.forward = addCommand(tr("&Forward"), tr("Go forward to the node shown next"),
                           QKeySequence(Qt::ALT | Qt::Key_Right));
    c.up = addCommand(tr("&Up"), tr("Go to the parent of the selected node"),
                      QKeySequence(Qt::ALT | Qt::Key_Up));
    c.addDatabase =
        addCommand(tr("&Add Database"), tr("Add a database to the list"), QKeySequence(Qt::CTRL | Qt::Key_N));
    c.removeDatabase = addCommand(tr("&Remove Database"), tr("Remove a database from the list"),
                                  QKeySequence(Qt::CTRL | Qt::Key_R));
    c.refreshAll = addCommand(tr("Refresh &All"), tr("Refresh all databases"));
    c.refreshDb = addCommand(tr("Refresh &DB"), tr("Refresh the database of the selected node"));
    c.refreshFromHere = addCommand(tr("Refresh from &Here"), tr("Refresh what the selected node holds"));
    c.settings = addCommand(tr("&Settings"), QStringLiteral("Edit the settings of Velkaro"));
    c.viewLog = addCommand(tr("&View Log"), QStringLiteral("Display log file"));
    c.helpTopics = addCommand(tr("&Help Topics"), tr("List Help topics"), QKeySequence(Qt::Key_F1));
    c.contextHelp =
        addCommand(tr("&What's This?"), tr("Display help for clicked on buttons, menus and windows"),
                   QKeySequence(Qt::SHIFT | Qt::Key_F1));
    c.about = addCommand(tr("&About Velkaro..."), tr("Display program information and version number"));

    c.back->setIcon(look->standardIcon(QStyle::SP_ArrowBack));
    c.forward->setIcon(look->standardIcon(QStyle::SP_ArrowForward));
    c.up->setIcon(look->standardIcon(QStyle::SP_ArrowUp));
    c.stop->setIcon(look->standardIcon(QStyle::SP_BrowserStop));
    c.addDatabase->setIcon(look->standardIcon(QStyle::SP_FileDialogNewFolder));
    c.removeDatabase->setIcon(look->standardIcon(QStyle::SP_TrashIcon));
    c.about->setIcon(QIcon(QString::fromLatin1(kIcon)));
    c.contextHelp->setIcon(look->standardIcon(QStyle::SP_TitleBarContextHelpButton));

    // F1 in any of the program's windows opens the guide at that window's topic.
    c.helpTopics->setShortcutContext(Qt::ApplicationShortcut);
    c.toolbar->setCheckable(true);
    c.toolbar->setChecked(true);
    c.statusBar->setCheckable(true);
    c.statusBar->setChecked(true);

    connect(c.exit, &QAction::triggered, this, &QWidget::close);
    connect(c.toolbar, &QAction::toggled, this, [this](bool on) { m_toolBar->setVisible(on); });
    connect(c.statusBar, &QAction::toggled, this, [this](bool on) { statusBar()->setVisible(on); });
    forward(c.stop, &ExplorerHub::StopWorkers);
    forward(c.back, &ExplorerHub::Back);
    forward(c.forward, &ExplorerHub::Forward);
    forward(c.up, &ExplorerHub::Up);
    forward(c.addDatabase, &ExplorerHub::OnAddDatabase);
    forward(c.removeDatabase, &ExplorerHub::OnRemoveDatabase);
    forward(c.refreshAll, &ExplorerHub::RefreshAll);
    forward(c.refreshDb, &ExplorerHub::RefreshDb);
    forward(c.refreshFromHere, &ExplorerHub::RefreshFromHere);
    connect(c.settings, &QAction::triggered, this, &CMainFrame::showSettings);
    connect(c.viewLog, &QAction::triggered, this, &CMainFrame::showLog);
    connect(c.helpTopics, &QAction::triggered, this, &CMainFrame::showHelpForActiveWindow);
    connect(c.contextHelp, &QAction::triggered, this, [] { QWhatsThis::enterWhatsThisMode(); });
    connect(c.about, &QAction::triggered, this, &CMainFrame::showAbout);
}

void CMainFrame::createMenus()
{
    const Commands& c = m_commands;
    QMenuBar* bar = menuBar();
    QMenu* file = bar->addMenu(tr("&File"));
    file->addAction(c.exit);
    QMenu* view = bar->addMenu(tr("&View"));
    view->addAction(c.toolbar);
    view->addAction(c.statusBar);
    view->addSeparator();
    view->addAction(c.stop);
    QMenu* go = bar->addMenu(tr("&Go"));
    go->addActions({c.back, c.forward, c.up});
    QMenu* db = bar->addMenu(tr("&DB"));
    db->addActions({c.addDatabase, c.removeDatabase});
    db->addSeparator();
    db->addActions({c.refreshAll, c.refreshDb, c.refreshFromHere});
    QMenu* preferences = bar->addMenu(tr("&Preferences"));
    preferences->addActions({c.settings, c.viewLog});
    QMenu* help = bar->addMenu(tr("&Help"));
    help->addAction(c.helpTopics);
    help->addAction(c.contextHelp);
    help->addSeparator();
    help->addAction(c.about);
}

void CMainFrame::createToolBar()
{
    const Commands& c = m_commands;
    m_toolBar = fixedBar(this, tr("Toolbar"), QStringLiteral("toolbar"));
    m_toolBar->setIconSize(QSize(16, 16));
    m_toolBar->addActions({c.back, c.forward, c.up});
    m_toolBar->addSeparator();
    m_toolBar->addAction(c.stop);
    m_toolBar->addSeparator();
    m_toolBar->addActions({c.addDatabase, c.removeDatabase});
    m_toolBar->addSeparator();
    m_toolBar->addAction(c.about);
    m_toolBar->addAction(c.contextHelp);
    addToolBar(Qt::TopToolBarArea, m_toolBar);
}

void CMainFrame::createLocationBar()
{
    addToolBarBreak(Qt::TopToolBarArea);
    m_locationBar = fixedBar(this, tr("Location"), QStringLiteral("locationBar"));
    auto* label = new QLabel(QStringLiteral("Location:"), m_locationBar);
    label->setContentsMargins(4, 0, 4, 0);
    m_location = new QComboBox(m_locationBar);
    m_location->setObjectName(QStringLiteral("location"));
    m_location->setEditable(true);
    m_location->setInsertPolicy(QComboBox::NoInsert);
    m_location->setMaxVisibleItems(20);
    m_location->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_location->setWhatsThis(tr("The path of the selected node. Pick a path from the list, or type one and "
                                "press Enter, to go to that node."));
    label->setBuddy(m_location);
    m_locationBar->addWidget(label);
    m_locationBar->addWidget(m_location);
    addToolBar(Qt::TopToolBarArea, m_locationBar);
}

void CMainFrame::createStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->showMessage(tr("Ready"));
    for (const char* name : {"CAP", "NUM", "SCRL"}) {
        auto* indicator = new QLabel(QString::fromLatin1(name), bar);
        indicator->setObjectName(QString::fromLatin1(name));
        indicator->setAlignment(Qt::AlignCenter);
        indicator->setMinimumWidth(indicator->fontMetrics().horizontalAdvance(QStringLiteral("SCRL")) + 12);
        // No portable way to read the lock keys: the panes stay dimmed, as when the keys are off.
        indicator->setEnabled(false);
        bar->addPermanentWidget(indicator);
        m_indicators.append(indicator);
    }
}

void CMainFrame::createPanes()
{
    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setChildrenCollapsible(false);
    m_leftView = new CLeftView(m_store, m_prompt, m_splitter);
    m_listView = new CVelkaroView(m_store, m_splitter);
    m_listView->resize(kInitialListWidth, kInitialListWidth);
    m_splitter->addWidget(m_leftView);
    m_splitter->addWidget(m_listView);
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setSizes({m_treeWidth, kInitialListWidth});
    m_leftView->setWhatsThis(tr("The databases and their objects and indexes. Select a node to list what it "
                                "holds; right-click for the commands."));
    m_listView->setWhatsThis(tr("What the node selected in the tree holds. Double-click a row to open it."));
    setCentralWidget(m_splitter);

    // The one source of command enabling: the hub says when anything it depends on changed.
    connect(&m_leftView->hub(), &ExplorerHub::commandStateChanged, this, &CMainFrame::updateCommandStates);
}

void CMainFrame::createContextMenu()
{
    const Commands& c = m_commands;
    m_contextMenu = new QMenu(this);
    m_contextMenu->addActions({c.back, c.forward, c.up});
    m_contextMenu->addSeparator();
    m_contextMenu->addAction(c.stop);
    m_contextMenu->addSeparator();
    m_contextMenu->addActions({c.refreshAll, c.refreshDb, c.refreshFromHere});
    m_contextMenu->addSeparator();
    m_contextMenu->addActions({c.addDatabase, c.removeDatabase});
    m_leftView->setContextMenu(m_contextMenu);
    m_listView->setContextMenu(m_contextMenu);
}

void CMainFrame::startUp()
{
    if (m_maximized)
        showMaximized();
    else
        show();
    adjustForWindowFrame();
    repaint();
    setWindowTitle(QStringLiteral("Velkaro"));
    m_listView->SetColumnSet(0);
    m_leftView->setListView(m_listView);
    m_leftView->setLocationBar(m_location);
    m_leftView->setTerminateWaitDialogFactory(
        [] { return std::unique_ptr<TerminateWaitDisplay>(std::make_unique<CTerminateWaitDlg>()); });
    m_leftView->hub().InsertRoot();
    m_leftView->hub().ReconnectRecentDatabases();
}

void CMainFrame::adjustForWindowFrame()
{
    // The stored size is the outer one; take the window manager's frame off so it does not grow per run.
    if (isMaximized())
        return;
    const QSize decoration = frameGeometry().size() - geometry().size();
    if (decoration.width() > 0 || decoration.height() > 0)
        resize(size() - decoration);
}

void CMainFrame::updateCommandStates()
{
    const ExplorerHub* explorer = hub();
    if (explorer == nullptr)
        return;
    const Commands& c = m_commands;
    c.stop->setEnabled(explorer->canStop());
    c.back->setEnabled(explorer->canBack());
    c.forward->setEnabled(explorer->canForward());
    c.up->setEnabled(explorer->canUp());
    c.refreshAll->setEnabled(explorer->canRefreshAll());
    c.refreshDb->setEnabled(explorer->canRefreshDb());
    c.refreshFromHere->setEnabled(explorer->canRefreshFromHere());
}

void CMainFrame::showSettings()
{
    ExplorerHub* explorer = hub();
    if (explorer == nullptr)
        return;
    SettingsSheetContext context{explorer->logSettings(),
                                 explorer->objectSettings(),
                                 explorer->lookupSettings(),
                                 explorer->refreshSettings(),
                                 m_store,
                                 explorer->activityLog(),
                                 m_prompt};
    CSetSheet sheet(context, this);
    sheet.setWindowTitle(QStringLiteral("Settings"));
    sheet.exec();
}

void CMainFrame::showLog()
{
    if (hub() == nullptr)
        return;
    // The viewer's Refresh closes it and asks for a fresh one.
    for (;;) {
        CLogViewDlg viewer(hub()->activityLog(), m_prompt, this);
        viewer.exec();
        if (!viewer.refreshRequested() || m_shutDown)
            break;
    }
}

void CMainFrame::showAbout()
{
    CAboutDlg about(this);
    about.exec();
}

QString CMainFrame::helpTopicFor(const QWidget* window)
{
    // Keyed by the window's class itself, so a renamed class cannot lose its topic unnoticed.
    static const QHash<const QMetaObject*, QString> topics{
        {&CSetSheet::staticMetaObject, QStringLiteral("settings")},
        {&CLogViewDlg::staticMetaObject, QStringLiteral("log")},
        {&CAddDatabaseDlg::staticMetaObject, QStringLiteral("add-database")},
        {&CRemoveDatabaseDlg::staticMetaObject, QStringLiteral("remove-database")},
        {&CTerminateWaitDlg::staticMetaObject, QStringLiteral("start-and-exit")},
    };
    if (window == nullptr)
        return {};
    return topics.value(window->metaObject());
}

void CMainFrame::showHelpForActiveWindow()
{
    HelpBrowser::showHelp(helpTopicFor(QApplication::activeModalWidget() != nullptr
                                           ? QApplication::activeModalWidget()
                                           : QApplication::activeWindow()));
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    shutDown();
    event->accept();
}

void CMainFrame::savePlacement()
{
    WindowPlacement placement;
    const QRect outer = frameGeometry();
    placement.width = outer.width();
    placement.height = outer.height();
    placement.maximized = isMaximized();
    placement.tree = m_leftView != nullptr ? m_leftView->width() : m_treeWidth;
    if (!placement.save(m_store))
        m_prompt.showMessage(tr("The window placement could not be written to %1.").arg(m_store.fileName()));
}

void CMainFrame::shutDown()
{
    // A second close (a signal during the wait, say) finds the run already ending.
    if (m_shutDown)
        return;
    m_shutDown = true;
    HelpBrowser::closeHelp();
    savePlacement();
    hide();
    if (m_leftView == nullptr)
        return;
    CLeftView* tree = m_leftView;
    m_leftView = nullptr;
    tree->hub().beginShutdown();
    // The tree pane's teardown, while the pane can still show the wait.
    tree->hub().shutdown();
    // A worker that has just let go of its database needs a moment to return.
    const WorkerThreads& workers = tree->hub().workers().threads();
    for (int pass = 0; pass < kWorkerReturnPasses && workers.liveCount() > 0; ++pass)
        QThread::msleep(kWorkerReturnPauseMs);
    m_workersLeft = workers.liveCount() > 0;
    delete tree;
}

} // namespace velkaro

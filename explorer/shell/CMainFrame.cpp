#include "explorer/shell/CMainFrame.h"

#include "common/ProfileStore.h"
#include "common/UserPrompt.h"
#include "desktop/HelpBrowser.h"
#include "explorer/core/WindowPlacement.h"
#include "explorer/properties/PropertiesCommand.h"
#include "explorer/settingsdialogs/CLogViewDlg.h"
#include "explorer/settingsdialogs/CSetSheet.h"
#include "explorer/settingsdialogs/SettingsSheetContext.h"
#include "explorer/shell/CAboutDlg.h"
#include "explorer/shell/CTerminateWaitDlg.h"
#include "explorer/shell/StatusLine.h"
#include "explorer/views/CAddDatabaseDlg.h"
#include "explorer/views/CFindDlg.h"
#include "explorer/views/CLeftView.h"
#include "explorer/views/CRemoveDatabaseDlg.h"
#include "explorer/views/CReportsDlg.h"
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
    const WindowPlacement placement = WindowPlacement::Load(m_store);
    m_treeWidth = placement.tree;
    m_maximized = placement.maximized;
    resize(placement.width, placement.height);
    setWindowIcon(QIcon(QString::fromLatin1(kIcon)));
    setContextMenuPolicy(Qt::NoContextMenu); // the bars are fixed: no menu to hide them

    CreateCommands();
    CreateMenus();
    CreateToolBar();
    CreateLocationBar();
    CreateStatusBar();
    CreatePanes();
    CreateContextMenu();
}

CMainFrame::~CMainFrame()
{
    // A frame destroyed without being closed still ends the run in order.
    ShutDown();
}

QAction* CMainFrame::AddCommand(const QString& text, const QString& prompt, const QKeySequence& keys)
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

ExplorerHub* CMainFrame::Hub() const
{
    return m_leftView != nullptr ? &m_leftView->Hub() : nullptr;
}

void CMainFrame::Forward(QAction* action, void (ExplorerHub::*command)())
{
    connect(action, &QAction::triggered, this, [this, command] {
        if (ExplorerHub* explorer = Hub())
            (explorer->*command)();
    });
}

void CMainFrame::CreateCommands()
{
    Commands& c = m_commands;
    const QStyle* look = style();
    c.exit = AddCommand(tr("E&xit"), tr("Quit the application"));
    c.stop =
        AddCommand(tr("&Stop"), tr("Stop loading and refreshing databases"), QKeySequence(Qt::Key_Escape));
    c.toolbar = AddCommand(tr("&Toolbar"), tr("Show or hide the toolbar"));
    c.statusBar = AddCommand(tr("&Status Bar"), tr("Show or hide the status bar"));
    c.back =
        AddCommand(tr("&Back"), tr("Go back to the node shown before"), QKeySequence(Qt::ALT | Qt::Key_Left));
    c.forward = AddCommand(tr("&Forward"), tr("Go forward to the node shown next"),
                           QKeySequence(Qt::ALT | Qt::Key_Right));
    c.up = AddCommand(tr("&Up"), tr("Go to the parent of the selected node"),
                      QKeySequence(Qt::ALT | Qt::Key_Up));
    c.find =
        AddCommand(tr("&Find..."), tr("Find a name in the databases"), QKeySequence(Qt::CTRL | Qt::Key_F));
    c.findNext =
        AddCommand(tr("Find &Next"), tr("Find the next match of the last search"), QKeySequence(Qt::Key_F3));
    c.addDatabase =
        AddCommand(tr("&Add Database"), tr("Add a database to the list"), QKeySequence(Qt::CTRL | Qt::Key_N));
    c.removeDatabase = AddCommand(tr("&Remove Database"), tr("Remove a database from the list"),
                                  QKeySequence(Qt::CTRL | Qt::Key_R));
    c.refreshAll = AddCommand(tr("Refresh &All"), tr("Refresh all databases"));
    c.refreshDb = AddCommand(tr("Refresh &DB"), tr("Refresh the database of the selected node"),
                             QKeySequence(Qt::Key_F5));
    c.refreshFromHere = AddCommand(tr("Refresh from &Here"), tr("Refresh what the selected node holds"));
    c.properties = AddCommand(tr("&Properties"), tr("Show the properties of the selected item"),
                              QKeySequence(Qt::ALT | Qt::Key_Return));
    c.reports = AddCommand(tr("R&eports"), QStringLiteral("Create schema reports"));
    c.settings = AddCommand(tr("&Settings"), QStringLiteral("Edit the settings of Velkaro"));
    c.viewLog = AddCommand(tr("&View Log"), QStringLiteral("Display log file"));
    c.helpTopics = AddCommand(tr("&Help Topics"), tr("List Help topics"), QKeySequence(Qt::Key_F1));
    c.contextHelp =
        AddCommand(tr("&What's This?"), tr("Display help for clicked on buttons, menus and windows"),
                   QKeySequence(Qt::SHIFT | Qt::Key_F1));
    c.about = AddCommand(tr("&About Velkaro..."), tr("Display program information and version number"));

    c.back->setIcon(look->standardIcon(QStyle::SP_ArrowBack));
    c.forward->setIcon(look->standardIcon(QStyle::SP_ArrowForward));
    c.up->setIcon(look->standardIcon(QStyle::SP_ArrowUp));
    c.stop->setIcon(look->standardIcon(QStyle::SP_BrowserStop));
    c.find->setIcon(
        QIcon::fromTheme(QStringLiteral("edit-find"), look->standardIcon(QStyle::SP_FileDialogContentsView)));
    c.findNext->setIcon(
        QIcon::fromTheme(QStringLiteral("go-next"), look->standardIcon(QStyle::SP_MediaSeekForward)));
    c.addDatabase->setIcon(look->standardIcon(QStyle::SP_FileDialogNewFolder));
    c.removeDatabase->setIcon(look->standardIcon(QStyle::SP_TrashIcon));
    c.reports->setIcon(QIcon::fromTheme(QStringLiteral("document-print"),
                                        look->standardIcon(QStyle::SP_FileDialogDetailedView)));
    c.about->setIcon(QIcon(QString::fromLatin1(kIcon)));
    c.properties->setIcon(look->standardIcon(QStyle::SP_FileDialogInfoView));
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
    Forward(c.stop, &ExplorerHub::StopWorkers);
    Forward(c.back, &ExplorerHub::Back);
    Forward(c.forward, &ExplorerHub::Forward);
    Forward(c.up, &ExplorerHub::Up);
    Forward(c.find, &ExplorerHub::Find);
    Forward(c.findNext, &ExplorerHub::FindNext);
    Forward(c.addDatabase, &ExplorerHub::OnAddDatabase);
    Forward(c.removeDatabase, &ExplorerHub::OnRemoveDatabase);
    Forward(c.refreshAll, &ExplorerHub::RefreshAll);
    Forward(c.refreshDb, &ExplorerHub::RefreshDb);
    Forward(c.refreshFromHere, &ExplorerHub::RefreshFromHere);
    connect(c.properties, &QAction::triggered, this, &CMainFrame::ShowProperties);
    connect(c.settings, &QAction::triggered, this, &CMainFrame::ShowSettings);
    connect(c.viewLog, &QAction::triggered, this, &CMainFrame::ShowLog);
    connect(c.reports, &QAction::triggered, this, &CMainFrame::ShowReports);
    connect(c.helpTopics, &QAction::triggered, this, &CMainFrame::ShowHelpForActiveWindow);
    connect(c.contextHelp, &QAction::triggered, this, [] { QWhatsThis::enterWhatsThisMode(); });
    connect(c.about, &QAction::triggered, this, &CMainFrame::ShowAbout);
}

void CMainFrame::CreateMenus()
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
    view->addAction(c.properties);
    QMenu* go = bar->addMenu(tr("&Go"));
    go->addActions({c.back, c.forward, c.up});
    go->addSeparator();
    go->addActions({c.find, c.findNext});
    QMenu* db = bar->addMenu(tr("&DB"));
    db->addActions({c.addDatabase, c.removeDatabase});
    db->addSeparator();
    db->addActions({c.refreshAll, c.refreshDb, c.refreshFromHere});
    db->addSeparator();
    db->addAction(c.reports);
    QMenu* preferences = bar->addMenu(tr("&Preferences"));
    preferences->addActions({c.settings, c.viewLog});
    QMenu* help = bar->addMenu(tr("&Help"));
    help->addAction(c.helpTopics);
    help->addAction(c.contextHelp);
    help->addSeparator();
    help->addAction(c.about);
}

void CMainFrame::CreateToolBar()
{
    const Commands& c = m_commands;
    m_toolBar = fixedBar(this, tr("Toolbar"), QStringLiteral("toolbar"));
    m_toolBar->setIconSize(QSize(16, 16));
    m_toolBar->addActions({c.back, c.forward, c.up});
    m_toolBar->addSeparator();
    m_toolBar->addActions({c.find, c.findNext});
    m_toolBar->addSeparator();
    m_toolBar->addAction(c.stop);
    m_toolBar->addSeparator();
    m_toolBar->addActions({c.addDatabase, c.removeDatabase});
    m_toolBar->addSeparator();
    m_toolBar->addAction(c.reports);
    m_toolBar->addAction(c.properties);
    m_toolBar->addSeparator();
    m_toolBar->addAction(c.about);
    m_toolBar->addAction(c.contextHelp);
    addToolBar(Qt::TopToolBarArea, m_toolBar);
}

void CMainFrame::CreateLocationBar()
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
    m_location->setWhatsThis(
        tr("The path of the selected node. Pick a path from the list to go to that node."));
    label->setBuddy(m_location);
    m_locationBar->addWidget(label);
    m_locationBar->addWidget(m_location);
    addToolBar(Qt::TopToolBarArea, m_locationBar);
}

void CMainFrame::CreateStatusBar()
{
    QStatusBar* bar = statusBar();
    m_statusLine = new StatusLine(bar);
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

void CMainFrame::CreatePanes()
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
    connect(&m_leftView->Hub(), &ExplorerHub::CommandStateChanged, this, &CMainFrame::UpdateCommandStates);
    connect(&m_leftView->Hub(), &ExplorerHub::LoadStatusChanged, m_statusLine, &StatusLine::ShowLoadStatus);
}

void CMainFrame::CreateContextMenu()
{
    const Commands& c = m_commands;
    m_contextMenu = new QMenu(this);
    m_contextMenu->addActions({c.back, c.forward, c.up});
    m_contextMenu->addSeparator();
    m_contextMenu->addAction(c.stop);
    m_contextMenu->addSeparator();
    m_contextMenu->addActions({c.find, c.findNext});
    m_contextMenu->addSeparator();
    m_contextMenu->addActions({c.refreshAll, c.refreshDb, c.refreshFromHere});
    m_contextMenu->addSeparator();
    m_contextMenu->addActions({c.addDatabase, c.removeDatabase});
    m_contextMenu->addSeparator();
    m_contextMenu->addAction(c.properties);
    m_leftView->SetContextMenu(m_contextMenu);
    m_listView->SetContextMenu(m_contextMenu);
}

void CMainFrame::StartUp()
{
    if (m_maximized)
        showMaximized();
    else
        show();
    AdjustForWindowFrame();
    repaint();
    setWindowTitle(QStringLiteral("Velkaro"));
    m_listView->SetColumnSet(0);
    m_leftView->SetListView(m_listView);
    m_leftView->SetLocationBar(m_location);
    m_leftView->SetTerminateWaitDialogFactory(
        [] { return std::unique_ptr<TerminateWaitDisplay>(std::make_unique<CTerminateWaitDlg>()); });
    if (const QString damaged = m_store.DamagedFileMessage(); !damaged.isEmpty()) {
        WriteToLog(damaged);
        m_prompt.ShowMessage(damaged);
    }
    m_leftView->Hub().InsertRoot();
    m_leftView->Hub().ReconnectRecentDatabases();
}

void CMainFrame::WriteToLog(const QString& text)
{
    if (CLeftView* tree = m_leftView != nullptr ? m_leftView : m_closingTree)
        tree->Hub().GetActivityLog().WriteLog(text);
}

void CMainFrame::AdjustForWindowFrame()
{
    // The stored size is the outer one; take the window manager's frame off so it does not grow per run.
    if (isMaximized())
        return;
    const QSize decoration = frameGeometry().size() - geometry().size();
    if (decoration.width() > 0 || decoration.height() > 0)
        resize(size() - decoration);
}

void CMainFrame::UpdateCommandStates()
{
    const ExplorerHub* explorer = Hub();
    if (explorer == nullptr)
        return;
    const Commands& c = m_commands;
    c.stop->setEnabled(explorer->CanStop());
    c.back->setEnabled(explorer->CanBack());
    c.forward->setEnabled(explorer->CanForward());
    c.up->setEnabled(explorer->CanUp());
    c.refreshAll->setEnabled(explorer->CanRefreshAll());
    c.refreshDb->setEnabled(explorer->CanRefreshDb());
    c.refreshFromHere->setEnabled(explorer->CanRefreshFromHere());
}

void CMainFrame::ShowSettings()
{
    ExplorerHub* explorer = Hub();
    if (explorer == nullptr)
        return;
    SettingsSheetContext context{explorer->GetLogSettings(),
                                 explorer->GetObjectSettings(),
                                 explorer->GetLookupSettings(),
                                 explorer->GetRefreshSettings(),
                                 m_store,
                                 explorer->GetActivityLog(),
                                 m_prompt};
    CSetSheet sheet(context, this);
    sheet.setWindowTitle(QStringLiteral("Settings"));
    sheet.exec();
}

void CMainFrame::ShowProperties()
{
    if (Hub() != nullptr)
        PropertiesCommand(*m_leftView, *m_listView, m_store, m_prompt).Run(this);
}

void CMainFrame::ShowLog()
{
    if (Hub() == nullptr)
        return;
    // The viewer's Refresh closes it and asks for a fresh one.
    for (;;) {
        CLogViewDlg viewer(Hub()->GetActivityLog(), m_prompt, this);
        viewer.exec();
        if (!viewer.RefreshRequested() || m_shutDown)
            break;
    }
}

void CMainFrame::ShowReports()
{
    ExplorerHub* explorer = Hub();
    if (explorer == nullptr)
        return;
    // Only the root in the tree: nothing to report on.
    if (explorer->Databases().empty()) {
        m_prompt.ShowMessage(QStringLiteral("There are no databases to report"));
        return;
    }
    CReportsDlg reports(*explorer, m_store, m_prompt, this);
    connect(&reports, &CReportsDlg::HelpRequested, this,
            [] { HelpBrowser::showHelp(QStringLiteral("reports")); });
    reports.exec();
}

void CMainFrame::ShowAbout()
{
    CAboutDlg about(this);
    about.exec();
}

QString CMainFrame::HelpTopicFor(const QWidget* window)
{
    // Keyed by the window's class itself, so a renamed class cannot lose its topic unnoticed.
    static const QHash<const QMetaObject*, QString> topics{
        {&CSetSheet::staticMetaObject, QStringLiteral("settings")},
        {&CLogViewDlg::staticMetaObject, QStringLiteral("log")},
        {&CAddDatabaseDlg::staticMetaObject, QStringLiteral("add-database")},
        {&CRemoveDatabaseDlg::staticMetaObject, QStringLiteral("remove-database")},
        {&CFindDlg::staticMetaObject, QStringLiteral("find")},
        {&CReportsDlg::staticMetaObject, QStringLiteral("reports")},
        {&CTerminateWaitDlg::staticMetaObject, QStringLiteral("start-and-exit")},
    };
    if (window == nullptr)
        return {};
    return topics.value(window->metaObject());
}

void CMainFrame::ShowHelpForActiveWindow()
{
    HelpBrowser::showHelp(HelpTopicFor(QApplication::activeModalWidget() != nullptr
                                           ? QApplication::activeModalWidget()
                                           : QApplication::activeWindow()));
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    ShutDown();
    event->accept();
}

void CMainFrame::SavePlacement()
{
    WindowPlacement placement;
    const QRect outer = frameGeometry();
    placement.width = outer.width();
    placement.height = outer.height();
    placement.maximized = isMaximized();
    placement.tree = m_leftView != nullptr ? m_leftView->width() : m_treeWidth;
    if (!placement.Save(m_store))
        m_prompt.ShowError(tr("The window placement could not be written to %1.").arg(m_store.FileName()));
}

void CMainFrame::ShutDown()
{
    // A second close (a signal during the wait, say) finds the run already ending.
    if (m_shutDown)
        return;
    m_shutDown = true;
    HelpBrowser::closeHelp();
    SavePlacement();
    hide();
    if (m_leftView == nullptr)
        return;
    CLeftView* tree = m_leftView;
    m_leftView = nullptr;
    m_closingTree = tree;
    tree->Hub().BeginShutdown();
    // The tree pane's teardown, while the pane can still show the wait.
    tree->Hub().Shutdown();
    // A worker that has just let go of its database needs a moment to return.
    const WorkerThreads& workers = tree->Hub().Workers().Threads();
    for (int pass = 0; pass < kWorkerReturnPasses && workers.LiveCount() > 0; ++pass)
        QThread::msleep(kWorkerReturnPauseMs);
    m_workersLeft = workers.LiveCount() > 0;
    m_closingTree = nullptr;
    delete tree;
}

} // namespace velkaro

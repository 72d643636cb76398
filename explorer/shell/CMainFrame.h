#pragma once

#include <QMainWindow>

class QComboBox;
class QLabel;
class QMenu;
class QSplitter;
class QToolBar;

namespace velkaro {

class CLeftView;
class CVelkaroView;
class ExplorerHub;
class ProfileStore;
class StatusLine;
class UserPrompt;

// Velkaro's main window: menus, toolbar, location bar, status bar, and a splitter with the tree
// pane and the list pane. Every explorer command goes to the tree pane's hub, which also says when
// it is enabled. Closing the window writes its placement and then tears the tree pane down.
class CMainFrame final : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CMainFrame)

public:
    struct Commands
    {
        QAction* exit = nullptr;
        QAction* stop = nullptr;
        QAction* toolbar = nullptr;
        QAction* statusBar = nullptr;
        QAction* back = nullptr;
        QAction* forward = nullptr;
        QAction* up = nullptr;
        QAction* find = nullptr;
        QAction* findNext = nullptr;
        QAction* addDatabase = nullptr;
        QAction* removeDatabase = nullptr;
        QAction* refreshAll = nullptr;
        QAction* refreshDb = nullptr;
        QAction* refreshFromHere = nullptr;
        QAction* properties = nullptr;
        QAction* reports = nullptr;
        QAction* settings = nullptr;
        QAction* viewLog = nullptr;
        QAction* helpTopics = nullptr;
        QAction* contextHelp = nullptr;
        QAction* about = nullptr;
    };

    // Builds the window (sized from the stored placement) with its bars and both panes;
    // constructing the tree pane opens the activity log.
    CMainFrame(ProfileStore& store, UserPrompt& prompt, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // The rest of start-up: show (maximized when stored so), title, column set 0, root node,
    // then the databases open at the last exit.
    void StartUp();

    CLeftView* LeftView() const { return m_leftView; }
    CVelkaroView* ListView() const { return m_listView; }
    QComboBox* LocationBox() const { return m_location; }
    QSplitter* Splitter() const { return m_splitter; }
    QToolBar* ToolBar() const { return m_toolBar; }
    QMenu* ContextMenu() const { return m_contextMenu; }
    const Commands& GetCommands() const { return m_commands; }
    QList<QLabel*> Indicators() const { return m_indicators; }
    bool IsShutDown() const { return m_shutDown; }
    // After the close: a worker stuck in a driver call outlived the shutdown wait.
    bool WorkersStillRunning() const { return m_workersLeft; }

    // Into the activity log while there is one, the tree pane's teardown included.
    void WriteToLog(const QString& text);

    // Re-evaluates which commands the hub allows; runs whenever the hub says its state changed.
    void UpdateCommandStates();

    // The guide's topic for a window (a dialog's or the main window's); "" for the contents.
    static QString HelpTopicFor(const QWidget* window);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateCommands();
    void CreateMenus();
    void CreateToolBar();
    void CreateLocationBar();
    void CreateStatusBar();
    void CreatePanes();
    void CreateContextMenu();
    QAction* AddCommand(const QString& text, const QString& prompt, const QKeySequence& keys = {});
    ExplorerHub* Hub() const; // null once the tree pane is torn down
    void Forward(QAction* action, void (ExplorerHub::*command)());
    void ShowSettings();
    void ShowProperties();
    void ShowLog();
    void ShowReports();
    void ShowAbout();
    void ShowHelpForActiveWindow();
    void AdjustForWindowFrame();
    void SavePlacement();
    void ShutDown();

    ProfileStore& m_store;
    UserPrompt& m_prompt;
    Commands m_commands;
    QToolBar* m_toolBar = nullptr;
    QToolBar* m_locationBar = nullptr;
    QComboBox* m_location = nullptr;
    QList<QLabel*> m_indicators;
    StatusLine* m_statusLine = nullptr;
    QSplitter* m_splitter = nullptr;
    CLeftView* m_leftView = nullptr;
    CLeftView* m_closingTree = nullptr; // during the tree pane's teardown
    CVelkaroView* m_listView = nullptr;
    QMenu* m_contextMenu = nullptr;
    int m_treeWidth = 200;
    bool m_maximized = false;
    bool m_shutDown = false;
    bool m_workersLeft = false;
};

} // namespace velkaro

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
        QAction* addDatabase = nullptr;
        QAction* removeDatabase = nullptr;
        QAction* refreshAll = nullptr;
        QAction* refreshDb = nullptr;
        QAction* refreshFromHere = nullptr;
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
    void startUp();

    CLeftView* leftView() const { return m_leftView; }
    CVelkaroView* listView() const { return m_listView; }
    QComboBox* locationBox() const { return m_location; }
    QSplitter* splitter() const { return m_splitter; }
    QToolBar* toolBar() const { return m_toolBar; }
    QMenu* contextMenu() const { return m_contextMenu; }
    const Commands& commands() const { return m_commands; }
    QList<QLabel*> indicators() const { return m_indicators; }
    bool isShutDown() const { return m_shutDown; }
    // After the close: a worker stuck in a driver call outlived the shutdown wait.
    bool workersStillRunning() const { return m_workersLeft; }

    // Re-evaluates which commands the hub allows; runs whenever the hub says its state changed.
    void updateCommandStates();

    // The guide's topic for a window (a dialog's or the main window's); "" for the contents.
    static QString helpTopicFor(const QWidget* window);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createCommands();
    void createMenus();
    void createToolBar();
    void createLocationBar();
    void createStatusBar();
    void createPanes();
    void createContextMenu();
    QAction* addCommand(const QString& text, const QString& prompt, const QKeySequence& keys = {});
    ExplorerHub* hub() const; // null once the tree pane is torn down
    void forward(QAction* action, void (ExplorerHub::*command)());
    void showSettings();
    void showLog();
    void showAbout();
    void showHelpForActiveWindow();
    void adjustForWindowFrame();
    void savePlacement();
    void shutDown();

    ProfileStore& m_store;
    UserPrompt& m_prompt;
    Commands m_commands;
    QToolBar* m_toolBar = nullptr;
    QToolBar* m_locationBar = nullptr;
    QComboBox* m_location = nullptr;
    QList<QLabel*> m_indicators;
    QSplitter* m_splitter = nullptr;
    CLeftView* m_leftView = nullptr;
    CVelkaroView* m_listView = nullptr;
    QMenu* m_contextMenu = nullptr;
    int m_treeWidth = 200;
    bool m_maximized = false;
    bool m_shutDown = false;
    bool m_workersLeft = false;
};

} // namespace velkaro

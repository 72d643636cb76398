#pragma once

#include <QMainWindow>

class QAction;
class QLabel;

namespace velkaro {
class COmbrakView;
class ProfileStore;
class ShellPrompt;
} // namespace velkaro

namespace velkaro::zindrel {

// The search program's main window: menu, toolbar, status bar and the report view. Commands are
// carried out by the view; the frame follows its title, command states and data source.
class CMainFrame final : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CMainFrame)

public:
    CMainFrame(ProfileStore& store, ShellPrompt& prompt, QWidget* parent = nullptr);
    ~CMainFrame() override;

    COmbrakView* View() const { return m_view; }
    QAction* Action(const QString& name) const;
    QString DataSourcePaneText() const;

    // SIGTERM and its kind: every dialog is closed, a run stopped, the window closed without a
    // question.
    void EndProgram();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QAction* AddCommand(const QString& name, const QString& text, const QString& prompt,
                        const QList<QKeySequence>& keys, const QIcon& icon);
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    void UpdateCommandStates();
    void ShowDataSource(const QString& displayName);
    void ShowAbout();
    void FocusPane();

    ShellPrompt& m_prompt;
    COmbrakView* m_view = nullptr;
    QLabel* m_messagePane = nullptr;
    QLabel* m_dataSourcePane = nullptr;
    bool m_ending = false;
};

} // namespace velkaro::zindrel

#pragma once

#include "search/engine/SearchHost.h"

#include <QDialog>
#include <QHash>
#include <array>

class QListWidget;
class QProgressBar;
class QPushButton;

namespace velkaro {

class UserPrompt;

// "Control Panel": one per run, modeless. Shows the objects as the run takes them and the four
// progress bars, and offers PLAY, SKIP, PAUSE and STOP. It cannot be closed while its run is
// active.
class ControlPanel final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ControlPanel)

public:
    ControlPanel(UserPrompt& prompt, QWidget* parent = nullptr);

    void SetRunActive(bool active) { m_runActive = active; }
    void SetCommandStates(bool play, bool skip, bool pause, bool stop);

    void SetProgressRange(SearchProgressBar bar, int maximum);
    void StepProgress(SearchProgressBar bar, int steps = 1);
    void FinishProgress(SearchProgressBar bar);
    void SetObjectList(const QStringList& names);
    void SelectObject(const QString& name);

    QProgressBar* ProgressBar(SearchProgressBar bar) const { return m_bars[static_cast<size_t>(bar)]; }
    QListWidget* ObjectList() const { return m_objects; }

signals:
    void PlayClicked();
    void SkipClicked();
    void PauseClicked();
    void StopClicked();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    QWidget* CreateControls();
    QWidget* CreateProgress();
    bool MayClose();

    UserPrompt& m_prompt;
    QListWidget* m_objects = nullptr;
    QPushButton* m_play = nullptr;
    QPushButton* m_skip = nullptr;
    QPushButton* m_pause = nullptr;
    QPushButton* m_stop = nullptr;
    std::array<QProgressBar*, 4> m_bars{};
    // The row of each name in the object list, the latest where a name is listed twice: a catalog
    // of many thousand objects is selected one object at a time.
    QHash<QString, int> m_rows;
    bool m_runActive = false;
};

} // namespace velkaro

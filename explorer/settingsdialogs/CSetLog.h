#pragma once

#include "explorer/logsettings/LogSettings.h"
#include "explorer/settingsdialogs/BoundCheckBoxes.h"
#include "explorer/settingsdialogs/CSetPage.h"

#include <QList>

class QLineEdit;

namespace velkaro {

// Page "Log": the log file, its start-up mode and the categories of events recorded.
class CSetLog final : public CSetPage
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CSetLog)

public:
    explicit CSetLog(SettingsSheetContext& context, QWidget* parent = nullptr);

protected:
    bool ApplyControls() override;
    QString AppliedMessage() const override;

private:
    QCheckBox* AddBox(const QString& text, std::atomic<int> LogSettings::*field, QWidget* parent);
    QWidget* CategoryGroup();
    void Browse();
    void UpdateEnabling();

    BoundCheckBoxes<LogSettings> m_boxes;
    QCheckBox* m_logEvents = nullptr;
    QLineEdit* m_fileName = nullptr;
    QList<QWidget*> m_dependents;
};

} // namespace velkaro

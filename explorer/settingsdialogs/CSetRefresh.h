#pragma once

#include "explorer/settingsdialogs/CSetPage.h"

#include <QList>

class QCheckBox;
class QLineEdit;
class QTimeEdit;

namespace velkaro {

// Page "Refresh": the timed auto-refresh. Once shown, it is written back every time the
// sheet is applied, changed or not.
class CSetRefresh final : public CSetPage
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CSetRefresh)

public:
    explicit CSetRefresh(SettingsSheetContext& context, QWidget* parent = nullptr);

    bool Validate() override;

protected:
    bool ApplyControls() override;
    QString AppliedMessage() const override;
    bool AppliesUnchanged() const override { return true; }

private:
    QTimeEdit* TimeEdit(const QTime& time);
    void UpdateEnabling();

    QCheckBox* m_automatic = nullptr;
    QLineEdit* m_idleMinutes = nullptr;
    QLineEdit* m_maxMinutes = nullptr;
    QCheckBox* m_timeConstraints = nullptr;
    QTimeEdit* m_notBefore = nullptr;
    QTimeEdit* m_notAfter = nullptr;
    QList<QWidget*> m_belowAutomatic;
    QList<QWidget*> m_timeControls;
};

} // namespace velkaro

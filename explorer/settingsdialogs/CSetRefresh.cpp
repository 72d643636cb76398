#include "explorer/settingsdialogs/CSetRefresh.h"

#include "explorer/logsettings/RefreshSettings.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTimeEdit>

namespace velkaro {

CSetRefresh::CSetRefresh(SettingsSheetContext& context, QWidget* parent) : CSetPage(context, parent)
{
    const RefreshSettings& refresh = context.refresh;
    m_automatic = new QCheckBox(QStringLiteral("Enable Automatic Refresh"), this);
    m_automatic->setChecked(refresh.RAUTO.load() != 0);
    m_idleMinutes = DigitsEdit(refresh.RIDLE.load());
    m_maxMinutes = DigitsEdit(refresh.RMAX.load());
    m_timeConstraints = new QCheckBox(QStringLiteral("Use time constraints"), this);
    m_timeConstraints->setChecked(refresh.RTIME.load() != 0);
    m_notBefore = TimeEdit(refresh.notBefore);
    m_notAfter = TimeEdit(refresh.notAfter);
    auto* idleLabel = new QLabel(QStringLiteral("Refresh when idle for"), this);
    auto* idleUnit = new QLabel(QStringLiteral("minutes, but"), this);
    auto* maxLabel = new QLabel(QStringLiteral("never more than once every"), this);
    auto* maxUnit = new QLabel(QStringLiteral("minutes."), this);
    auto* beforeLabel = new QLabel(QStringLiteral("Do not refresh before"), this);
    auto* afterLabel = new QLabel(QStringLiteral("Or after"), this);

    auto* grid = new QGridLayout(this);
    grid->addWidget(m_automatic, 0, 0, 1, 3);
    grid->addWidget(idleLabel, 1, 0);
    grid->addWidget(m_idleMinutes, 1, 1);
    grid->addWidget(idleUnit, 1, 2);
    grid->addWidget(maxLabel, 2, 0);
    grid->addWidget(m_maxMinutes, 2, 1);
    grid->addWidget(maxUnit, 2, 2);
    grid->addWidget(m_timeConstraints, 3, 0, 1, 3);
    grid->addWidget(beforeLabel, 4, 0);
    grid->addWidget(m_notBefore, 4, 1);
    grid->addWidget(afterLabel, 5, 0);
    grid->addWidget(m_notAfter, 5, 1);
    grid->setRowStretch(6, 1);
    grid->setColumnStretch(3, 1);

    m_belowAutomatic = {idleLabel,         m_idleMinutes, idleUnit,    maxLabel,   m_maxMinutes, maxUnit,
                        m_timeConstraints, beforeLabel,   m_notBefore, afterLabel, m_notAfter};
    m_timeControls = {beforeLabel, m_notBefore, afterLabel, m_notAfter};
    for (QCheckBox* box : {m_automatic, m_timeConstraints}) {
        Watch(box);
        connect(box, &QCheckBox::clicked, this, &CSetRefresh::UpdateEnabling);
    }
    UpdateEnabling();
}

QTimeEdit* CSetRefresh::TimeEdit(const QTime& time)
{
    auto* edit = new QTimeEdit(time, this);
    edit->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    Watch(edit);
    return edit;
}

void CSetRefresh::UpdateEnabling()
{
    for (QWidget* control : m_belowAutomatic)
        control->setEnabled(m_automatic->isChecked());
    if (!m_timeConstraints->isChecked()) {
        for (QWidget* control : m_timeControls)
            control->setEnabled(false);
    }
}

bool CSetRefresh::Validate()
{
    return CheckedNumber(m_idleMinutes, kRefreshMinutesRange) &&
           CheckedNumber(m_maxMinutes, kRefreshMinutesRange);
}

bool CSetRefresh::ApplyControls()
{
    RefreshSettings& refresh = Context().refresh;
    refresh.RAUTO = m_automatic->isChecked() ? 1 : 0;
    refresh.RIDLE = kRefreshMinutesRange.Parse(m_idleMinutes->text()).value_or(refresh.RIDLE.load());
    refresh.RMAX = kRefreshMinutesRange.Parse(m_maxMinutes->text()).value_or(refresh.RMAX.load());
    refresh.RTIME = m_timeConstraints->isChecked() ? 1 : 0;
    refresh.notBefore = m_notBefore->time();
    refresh.notAfter = m_notAfter->time();
    return refresh.Save(Context().store);
}

QString CSetRefresh::AppliedMessage() const
{
    return QStringLiteral("Refresh settings updated.");
}

} // namespace velkaro

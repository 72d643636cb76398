#pragma once

#include "explorer/logsettings/ObjectSettings.h"
#include "explorer/settingsdialogs/BoundCheckBoxes.h"
#include "explorer/settingsdialogs/CSetPage.h"

namespace velkaro {

// Page "Objects": which kinds of objects and which of their details are retrieved.
class CSetObj final : public CSetPage
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CSetObj)

public:
    explicit CSetObj(SettingsSheetContext& context, QWidget* parent = nullptr);

protected:
    bool ApplyControls() override;
    QString AppliedMessage() const override;

private:
    QCheckBox* AddBox(const QString& text, std::atomic<int> ObjectSettings::*field);
    void UpdateEnabling();

    BoundCheckBoxes<ObjectSettings> m_boxes;
    QCheckBox* m_tables = nullptr;
    QCheckBox* m_views = nullptr;
    QCheckBox* m_synonyms = nullptr;
    QCheckBox* m_columns = nullptr;
    QCheckBox* m_indexes = nullptr;
    QCheckBox* m_indexColumns = nullptr;
};

} // namespace velkaro

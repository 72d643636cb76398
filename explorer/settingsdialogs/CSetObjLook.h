#pragma once

#include "explorer/settingsdialogs/CSetPage.h"

class QLineEdit;
class QRadioButton;

namespace velkaro {

// Page "Object Lookup": when objects and their details are retrieved, and how many databases
// load at a time.
class CSetObjLook final : public CSetPage
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CSetObjLook)

public:
    explicit CSetObjLook(SettingsSheetContext& context, QWidget* parent = nullptr);

    bool Validate() override;

protected:
    bool ApplyControls() override;
    QString AppliedMessage() const override;

private:
    QWidget* RadioPair(const QString& title, const QString& first, const QString& second, bool firstChosen,
                       QRadioButton*& firstButton);

    QRadioButton* m_objectsWhenAccessed = nullptr;
    QRadioButton* m_columnsWhenAccessed = nullptr;
    QLineEdit* m_maxDatabases = nullptr;
};

} // namespace velkaro

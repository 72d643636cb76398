#pragma once

#include "explorer/logsettings/IntegerRange.h"
#include "explorer/settingsdialogs/SettingsSheetContext.h"

#include <QWidget>
#include <optional>

class QAbstractButton;
class QLineEdit;
class QTimeEdit;

namespace velkaro {

// One page of the settings sheet: shows a settings group, notes the user's edits and writes
// the group back when the sheet is applied.
class CSetPage : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CSetPage)

public:
    CSetPage(SettingsSheetContext& context, QWidget* parent);

    bool WasShown() const { return m_shown; }
    bool PageModified() const { return m_modified; }

    // Checks the page's numbers; a refused one is reported to the user and gets the focus.
    virtual bool Validate() { return true; }
    // Applies the page if it has been shown and wants to; false when the store refused a value.
    bool ApplyIfDue();

signals:
    void Modified();

protected:
    // Copies the controls into the settings group and saves it; false when the store failed.
    virtual bool ApplyControls() = 0;
    virtual QString AppliedMessage() const = 0;
    // Pages that write their group whenever the sheet is applied after they were shown.
    virtual bool AppliesUnchanged() const { return false; }

    SettingsSheetContext& Context() const { return m_context; }
    void Watch(QAbstractButton* button);
    void Watch(QLineEdit* edit);
    void Watch(QTimeEdit* edit);
    QLineEdit* DigitsEdit(int value);
    // The number in edit when it lies in range; otherwise the user is told and nullopt returned.
    std::optional<int> CheckedNumber(QLineEdit* edit, const IntegerRange& range);

    void MarkModified();
    void showEvent(QShowEvent* event) override;

private:
    SettingsSheetContext& m_context;
    bool m_shown = false;
    bool m_modified = false;
};

} // namespace velkaro

#pragma once

#include "explorer/settingsdialogs/SettingsSheetContext.h"

#include <QDialog>
#include <QList>

class QDialogButtonBox;
class QPushButton;
class QTabWidget;

namespace velkaro {

class CSetPage;

// The "Settings" sheet: the Objects, Object Lookup, Refresh and Log pages with OK, Cancel and
// Apply. OK and Apply write back the pages that have been shown; Cancel drops every edit.
class CSetSheet final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CSetSheet)

public:
    explicit CSetSheet(SettingsSheetContext& context, QWidget* parent = nullptr);

    QTabWidget* Tabs() const { return m_tabs; }
    void accept() override;

private:
    // False when a page refused its numbers; that page is then the current one.
    bool ApplyPages();
    void TabChanged(int index);

    SettingsSheetContext& m_context;
    QTabWidget* m_tabs = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
    QPushButton* m_apply = nullptr;
    QList<CSetPage*> m_pages;
    int m_currentTab = 0;
};

} // namespace velkaro

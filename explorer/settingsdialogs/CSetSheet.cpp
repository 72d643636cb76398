#include "explorer/settingsdialogs/CSetSheet.h"

#include "common/ProfileStore.h"
#include "common/UserPrompt.h"
#include "explorer/settingsdialogs/CSetLog.h"
#include "explorer/settingsdialogs/CSetObj.h"
#include "explorer/settingsdialogs/CSetObjLook.h"
#include "explorer/settingsdialogs/CSetRefresh.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace velkaro {

CSetSheet::CSetSheet(SettingsSheetContext& context, QWidget* parent) : QDialog(parent), m_context(context)
{
    setWindowTitle(QStringLiteral("Settings"));
    m_tabs = new QTabWidget(this);
    const QList<std::pair<CSetPage*, QString>> pages{
        {new CSetObj(context), QStringLiteral("Objects")},
        {new CSetObjLook(context), QStringLiteral("Object Lookup")},
        {new CSetRefresh(context), QStringLiteral("Refresh")},
        {new CSetLog(context), QStringLiteral("Log")},
    };
    for (const auto& [page, title] : pages) {
        m_tabs->addTab(page, title);
        m_pages.append(page);
    }
    m_tabs->setCurrentIndex(0);

    m_buttons =
        new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this);
    m_apply = m_buttons->button(QDialogButtonBox::Apply);
    m_apply->setEnabled(false);
    for (CSetPage* page : m_pages)
        connect(page, &CSetPage::Modified, m_apply, [this] { m_apply->setEnabled(true); });
    connect(m_buttons, &QDialogButtonBox::accepted, this, &CSetSheet::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &CSetSheet::reject);
    connect(m_apply, &QPushButton::clicked, this, &CSetSheet::ApplyPages);
    connect(m_tabs, &QTabWidget::currentChanged, this, &CSetSheet::TabChanged);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(m_buttons);
}

void CSetSheet::accept()
{
    if (ApplyPages())
        QDialog::accept();
}

bool CSetSheet::ApplyPages()
{
    // Every shown page is checked before any is applied, so a refused number applies nothing.
    for (CSetPage* page : m_pages) {
        if (page->WasShown() && !page->Validate()) {
            m_tabs->setCurrentWidget(page);
            return false;
        }
    }
    bool saved = true;
    for (CSetPage* page : m_pages)
        saved = page->ApplyIfDue() && saved;
    m_apply->setEnabled(false);
    if (!saved)
        m_context.prompt.ShowError(QStringLiteral("Could not save the settings to '") +
                                   m_context.store.FileName() + QStringLiteral("'."));
    return true;
}

// A page with a refused number is not left: the user is told and taken back to it.
void CSetSheet::TabChanged(int index)
{
    const int previous = m_currentTab;
    m_currentTab = index;
    if (previous == index || previous < 0 || previous >= m_pages.size())
        return;
    if (!m_pages[previous]->Validate()) {
        const QSignalBlocker blocker(m_tabs);
        m_tabs->setCurrentIndex(previous);
        m_currentTab = previous;
    }
}

} // namespace velkaro

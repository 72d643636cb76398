#include "search/shell/CAdvancedSheet.h"

#include "search/shell/CPropColumns.h"
#include "search/shell/CPropTables.h"
#include "search/shell/ZindrelHelp.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace velkaro {

CAdvancedSheet::CAdvancedSheet(SearchParameters& parameters, SearchConnection& connection, UserPrompt& prompt,
                               QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Advanced Options"));
    // Modal to the program's windows only: the guide stays usable beside it.
    setWindowModality(Qt::WindowModal);
    m_tabs = new QTabWidget(this);
    m_objects = new CPropTables(parameters, connection, m_tabs);
    m_columns = new CPropColumns(parameters, prompt, m_tabs);
    m_tabs->addTab(m_objects, QStringLiteral("Objects"));
    m_tabs->addTab(m_columns, QStringLiteral("Columns"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel |
                                             QDialogButtonBox::Apply | QDialogButtonBox::Help,
                                         this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Apply)->setObjectName(QStringLiteral("applyButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons->button(QDialogButtonBox::Apply), &QPushButton::clicked, this, [this] { ApplyPages(); });
    buttons->button(QDialogButtonBox::Help)->setShortcut(QKeySequence::HelpContents);
    connect(buttons, &QDialogButtonBox::helpRequested, this,
            [] { ShowZindrelHelp(HelpTopic::AdvancedOptions); });
    connect(m_tabs, &QTabWidget::currentChanged, this, &CAdvancedSheet::PageChanged);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(buttons);
    PageChanged(m_tabs->currentIndex());
}

void CAdvancedSheet::PageChanged(int index)
{
    // On the Columns page Enter adds the pattern typed.
    const bool columns = m_tabs->widget(index) == m_columns;
    m_columns->AddButton()->setDefault(columns);
    m_ok->setDefault(!columns);
}

bool CAdvancedSheet::ApplyPages()
{
    if (!m_columns->TakePendingPattern()) {
        m_tabs->setCurrentWidget(m_columns);
        return false;
    }
    m_objects->Apply();
    m_columns->Apply();
    return true;
}

void CAdvancedSheet::accept()
{
    if (ApplyPages())
        QDialog::accept();
}

} // namespace velkaro

#include "explorer/views/CRemoveDatabaseDlg.h"

#include "common/UserPrompt.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace velkaro {

CRemoveDatabaseDlg::CRemoveDatabaseDlg(const QStringList& aliases, UserPrompt& prompt, QWidget* parent)
    : QDialog(parent), m_prompt(prompt)
{
    setWindowTitle(QStringLiteral("Remove Database"));
    auto* group = new QGroupBox(QStringLiteral("Select Database to remove"), this);
    m_list = new QListWidget(group);
    m_list->setObjectName(QStringLiteral("aliasList"));
    m_list->setSortingEnabled(true);
    m_list->addItems(aliases);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(m_list);

    auto* buttons = new QDialogButtonBox(this);
    m_removeButton = buttons->addButton(QStringLiteral("Remove"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QDialogButtonBox::Cancel);
    buttons->addButton(QDialogButtonBox::Help);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);

    connect(m_removeButton, &QPushButton::clicked, this, &CRemoveDatabaseDlg::TryRemove);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &CRemoveDatabaseDlg::TryRemove);
    connect(buttons, &QDialogButtonBox::rejected, this, &CRemoveDatabaseDlg::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this, &CRemoveDatabaseDlg::HelpRequested);
}

void CRemoveDatabaseDlg::TryRemove()
{
    const QListWidgetItem* item = m_list->currentItem();
    if (!item || !item->isSelected()) {
        m_prompt.ShowMessage(QStringLiteral("Please select a database to remove"));
        return;
    }
    const QString alias = item->text();
    if (!m_prompt.AskYesNo(QStringLiteral("Are you sure you want to remove database: %1?").arg(alias)))
        return;
    m_chosen = alias;
    QDialog::accept();
}

} // namespace velkaro

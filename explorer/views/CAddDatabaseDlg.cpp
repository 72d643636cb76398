#include "explorer/views/CAddDatabaseDlg.h"

#include "catalog/CDbSession.h"
#include "common/ProfileStore.h"
#include "common/UserPrompt.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velkaro {

namespace {

const IntSetting kReconnectSetting{"Settings", "Reconnect", 1};
const IntSetting kOwnerOnlySetting{"Settings", "UID", 0};

QString selectCaption()
{
    return QStringLiteral("Press to select Database");
}

} // namespace

CAddDatabaseDlg::CAddDatabaseDlg(ProfileStore& store, UserPrompt& prompt, AliasRule makeUniqueAlias,
                                 ActivityLogSink* sessionLog, QWidget* parent)
    : QDialog(parent), m_store(store), m_prompt(prompt), m_makeUniqueAlias(std::move(makeUniqueAlias)),
      m_sessionLog(sessionLog)
{
    setWindowTitle(QStringLiteral("Add Database"));
    m_selectButton = new QPushButton(selectCaption(), this);
    m_selectButton->setObjectName(QStringLiteral("selectButton"));
    m_aliasEdit = new QLineEdit(this);
    m_aliasEdit->setObjectName(QStringLiteral("aliasEdit"));
    m_ownerOnlyBox = new QCheckBox(QStringLiteral("Process only objects owned by current user"), this);
    m_ownerOnlyBox->setObjectName(QStringLiteral("ownerOnlyBox"));
    m_ownerOnlyBox->setChecked(kOwnerOnlySetting.Read(store) != 0);
    m_reconnectBox = new QCheckBox(QStringLiteral("Reconnect when starting Velkaro"), this);
    m_reconnectBox->setObjectName(QStringLiteral("reconnectBox"));
    m_reconnectBox->setChecked(kReconnectSetting.Read(store) != 0);

    auto* buttons =
        new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    m_okButton = buttons->button(QDialogButtonBox::Ok);

    auto* form = new QFormLayout;
    form->addRow(m_selectButton);
    form->addRow(QStringLiteral("Alias"), m_aliasEdit);
    form->addRow(m_ownerOnlyBox);
    form->addRow(m_reconnectBox);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(m_selectButton, &QPushButton::clicked, this, &CAddDatabaseDlg::SelectDataSource);
    // The choice is remembered at once, so a cancelled dialog still sets the next one's default.
    connect(m_reconnectBox, &QCheckBox::clicked, this,
            [this](bool checked) { kReconnectSetting.Write(m_store, checked ? 1 : 0); });
    connect(buttons, &QDialogButtonBox::accepted, this, &CAddDatabaseDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CAddDatabaseDlg::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this, &CAddDatabaseDlg::HelpRequested);
}

CAddDatabaseDlg::~CAddDatabaseDlg() = default;

QString CAddDatabaseDlg::Alias() const
{
    return m_aliasEdit->text();
}

bool CAddDatabaseDlg::Reconnect() const
{
    return m_reconnectBox->isChecked();
}

bool CAddDatabaseDlg::OwnerOnly() const
{
    return m_ownerOnlyBox->isChecked();
}

void CAddDatabaseDlg::SelectDataSource()
{
    // A new choice replaces the earlier one, also when it fails.
    m_session.reset();
    auto session = std::make_shared<CDbSession>();
    session->SetLog(m_sessionLog);
    if (!session->Connect(m_prompt) || session->ConnectFailed()) {
        m_selectButton->setText(selectCaption());
        return;
    }
    m_session = std::move(session);
    m_selectButton->setText(m_session->DisplayName());
    const QString suggestion = m_makeUniqueAlias(m_session->DisplayName());
    if (m_aliasEdit->text().isEmpty())
        m_aliasEdit->setText(suggestion);
}

void CAddDatabaseDlg::accept()
{
    const QString typed = m_aliasEdit->text();
    const QString unique = m_makeUniqueAlias(typed);
    if (typed != unique) {
        if (!m_prompt.AskYesNo(
                QStringLiteral("The name '%1' is already in use. Would you like to use '%2' instead?")
                    .arg(typed, unique)))
            return;
        m_aliasEdit->setText(unique);
    }
    QDialog::accept();
}

} // namespace velkaro

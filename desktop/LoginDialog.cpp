#include "desktop/LoginDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace velkaro {

namespace {

// Names and driver texts are shown as they are, never read as markup.
QLabel* plainLabel(const QString& text)
{
    auto* label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

} // namespace

LoginDialog::LoginDialog(const LoginRequest& request, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("Login: %1").arg(request.dataSource));
    auto* form = new QFormLayout;
    QLabel* source = plainLabel(request.dataSource);
    source->setObjectName(QStringLiteral("dataSource"));
    form->addRow(tr("Data source:"), source);
    m_user = new QLineEdit(request.user);
    m_user->setObjectName(QStringLiteral("user"));
    form->addRow(tr("User:"), m_user);
    m_password = new QLineEdit;
    m_password->setObjectName(QStringLiteral("password"));
    m_password->setEchoMode(QLineEdit::Password);
    form->addRow(tr("Password:"), m_password);

    auto* layout = new QVBoxLayout(this);
    if (!request.problem.isEmpty()) {
        QLabel* problem = plainLabel(request.problem);
        problem->setObjectName(QStringLiteral("problem"));
        problem->setTextInteractionFlags(Qt::TextSelectableByMouse);
        layout->addWidget(problem);
    }
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    setMinimumWidth(420);
    (request.user.isEmpty() ? m_user : m_password)->setFocus();
}

LoginAnswer LoginDialog::answer() const
{
    return LoginAnswer{m_user->text(), m_password->text()};
}

} // namespace velkaro

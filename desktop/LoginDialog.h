#pragma once

#include "common/UserPrompt.h"

#include <QDialog>

class QLineEdit;

namespace velkaro {

// Asks for the user and password of a data source that refused the connection; shows the
// driver's complaint so the user knows why it is asked.
class LoginDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LoginDialog)

public:
    explicit LoginDialog(const LoginRequest& request, QWidget* parent = nullptr);

    LoginAnswer answer() const;

private:
    QLineEdit* m_user = nullptr;
    QLineEdit* m_password = nullptr;
};

} // namespace velkaro

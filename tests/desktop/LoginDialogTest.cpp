#include "desktop/LoginDialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using velkaro::LoginDialog;
using velkaro::LoginRequest;

class LoginDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void returnsWhatWasTyped_data()
    {
        QTest::addColumn<QString>("proposed");
        QTest::addColumn<QString>("typedUser");
        QTest::addColumn<QString>("expectedUser");
        QTest::newRow("proposed user kept, focus on password") << "velkaro"
                                                               << ""
                                                               << "velkaro";
        QTest::newRow("no proposal, focus on user") << ""
                                                    << "anna"
                                                    << "anna";
    }
    void returnsWhatWasTyped()
    {
        QFETCH(QString, proposed);
        QFETCH(QString, typedUser);
        QFETCH(QString, expectedUser);
        LoginDialog dialog(
            LoginRequest{QStringLiteral("ShopPostgres"), proposed,
                         QStringLiteral("FATAL:  password authentication failed for user <b>x</b>")});
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(dialog.windowTitle().contains(QLatin1String("ShopPostgres")));
        auto* user = dialog.findChild<QLineEdit*>(QStringLiteral("user"));
        auto* password = dialog.findChild<QLineEdit*>(QStringLiteral("password"));
        QCOMPARE(password->echoMode(), QLineEdit::Password);
        QCOMPARE(QApplication::focusWidget(), proposed.isEmpty() ? user : password);
        if (!typedUser.isEmpty()) {
            QTest::keyClicks(user, typedUser);
            QTest::keyClick(user, Qt::Key_Tab);
        }
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("a;b} c"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.answer().user, expectedUser);
        QCOMPARE(dialog.answer().password, QStringLiteral("a;b} c"));
    }

    void showsTheDriversComplaintAsPlainText()
    {
        const QString problem = QStringLiteral("FATAL:  password authentication failed for user <b>x</b>");
        LoginDialog dialog(LoginRequest{QStringLiteral("ShopPostgres"), QString(), problem});
        auto* label = dialog.findChild<QLabel*>(QStringLiteral("problem"));
        QVERIFY(label);
        QCOMPARE(label->text(), problem);
        QCOMPARE(label->textFormat(), Qt::PlainText);
        QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("dataSource"))->text(),
                 QStringLiteral("ShopPostgres"));

        LoginDialog quiet(LoginRequest{QStringLiteral("ShopPostgres"), QString(), QString()});
        QVERIFY(!quiet.findChild<QLabel*>(QStringLiteral("problem")));
    }
};

QTEST_MAIN(LoginDialogTest)
#include "LoginDialogTest.moc"

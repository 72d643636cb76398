#include "desktop/MessageBoxPrompt.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <atomic>
#include <functional>
#include <thread>

using velkaro::LoginRequest;
using velkaro::MessageBoxPrompt;
using velkaro::SaveFileRequest;

namespace {

// Acts on the next modal window as soon as it is shown; the prompt's call is blocked in it meanwhile.
void whenModalShown(std::function<void(QWidget*)> act)
{
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        timer->stop();
        timer->deleteLater();
        act(modal);
    });
    timer->start(10);
}

struct SeenBox
{
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Records the message box and presses one of its buttons.
void answerBox(SeenBox& seen, QMessageBox::StandardButton press)
{
    whenModalShown([&seen, press](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box);
        seen = SeenBox{box->windowTitle(), box->text(), box->standardButtons(), box->icon()};
        box->button(press)->click();
    });
}

void pressOk(QWidget* dialog)
{
    dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
}

} // namespace

class MessageBoxPromptTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QCoreApplication::setApplicationName(QStringLiteral("Velkaro")); }

    void messageBoxes_data()
    {
        QTest::addColumn<bool>("question");
        QTest::addColumn<int>("press");
        QTest::addColumn<bool>("expected");
        QTest::addColumn<bool>("error");
        QTest::addColumn<int>("icon");
        QTest::newRow("message has OK only")
            << false << int(QMessageBox::Ok) << false << false << int(QMessageBox::Information);
        QTest::newRow("error has OK only and the error icon")
            << false << int(QMessageBox::Ok) << false << true << int(QMessageBox::Critical);
        QTest::newRow("question answered Yes")
            << true << int(QMessageBox::Yes) << true << false << int(QMessageBox::Question);
        QTest::newRow("question answered No")
            << true << int(QMessageBox::No) << false << false << int(QMessageBox::Question);
    }
    void messageBoxes()
    {
        QFETCH(bool, question);
        QFETCH(int, press);
        QFETCH(bool, expected);
        QFETCH(bool, error);
        QFETCH(int, icon);
        const QString text =
            QStringLiteral("Could not connect to data source. Please verify that the source is "
                           "available and \nall parameters are set correctly. <b>");
        MessageBoxPrompt prompt;
        SeenBox seen;
        answerBox(seen, QMessageBox::StandardButton(press));
        bool answer = false;
        if (question)
            answer = prompt.AskYesNo(text);
        else if (error)
            prompt.ShowError(text);
        else
            prompt.ShowMessage(text);
        QCOMPARE(answer, expected);
        QCOMPARE(seen.title, QStringLiteral("Velkaro"));
        QCOMPARE(seen.text, text);
        QCOMPARE(seen.buttons, question ? QMessageBox::Yes | QMessageBox::No
                                        : QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(int(seen.icon), icon);
    }

    void askedFromAWorkerThread()
    {
        MessageBoxPrompt prompt;
        SeenBox seen;
        answerBox(seen, QMessageBox::Yes);
        std::atomic<bool> done = false;
        std::atomic<bool> answer = false;
        std::thread worker([&] {
            answer = prompt.AskYesNo(QStringLiteral("Stop?"));
            done = true;
        });
        QTRY_VERIFY(done);
        worker.join();
        QVERIFY(answer);
        QCOMPARE(seen.text, QStringLiteral("Stop?"));
    }

    void chooseDataSource()
    {
        MessageBoxPrompt prompt;
        whenModalShown([](QWidget* dialog) {
            auto* sources = dialog->findChild<QTreeWidget*>(QStringLiteral("dataSources"));
            sources->setCurrentItem(sources->topLevelItem(0));
            pressOk(dialog);
        });
        QCOMPARE(prompt.ChooseDataSource(), std::optional<QString>(QStringLiteral("DSN=ShopSQLite")));
        whenModalShown([](QWidget* dialog) { qobject_cast<QDialog*>(dialog)->reject(); });
        QCOMPARE(prompt.ChooseDataSource(), std::nullopt);
    }

    void askLogin()
    {
        MessageBoxPrompt prompt;
        whenModalShown([](QWidget* dialog) {
            dialog->findChild<QLineEdit*>(QStringLiteral("password"))->setText(QStringLiteral("velkaro-pw"));
            pressOk(dialog);
        });
        const auto answer =
            prompt.AskLogin(LoginRequest{QStringLiteral("ShopPostgres"), QStringLiteral("velkaro"), {}});
        QVERIFY(answer);
        QCOMPARE(answer->user, QStringLiteral("velkaro"));
        QCOMPARE(answer->password, QStringLiteral("velkaro-pw"));
        whenModalShown([](QWidget* dialog) { qobject_cast<QDialog*>(dialog)->reject(); });
        QCOMPARE(prompt.AskLogin(LoginRequest{}), std::nullopt);
    }

    void chooseSaveFileAddsTheSuffix()
    {
        QTemporaryDir folder;
        MessageBoxPrompt prompt;
        whenModalShown([](QWidget* dialog) {
            auto* chooser = qobject_cast<QFileDialog*>(dialog);
            QVERIFY(chooser);
            QCOMPARE(chooser->windowTitle(), QStringLiteral("Save Report"));
            // Typed as a user does: selectFile leaves the name field alone once it has the focus.
            auto* name = chooser->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(name);
            name->setText(QStringLiteral("report"));
            static_cast<QDialog*>(chooser)->accept(); // QFileDialog::accept, which reads the name field
        });
        const SaveFileRequest request{QStringLiteral("Save Report"), folder.path(), QStringLiteral("txt"),
                                      QStringLiteral("Text Files (*.txt)")};
        const auto chosen = prompt.ChooseSaveFile(request);
        QVERIFY(chosen);
        QCOMPARE(chosen->path, folder.filePath(QStringLiteral("report.txt")));
        QCOMPARE(chosen->filter, QStringLiteral("Text Files (*.txt)"));
        whenModalShown([](QWidget* dialog) { qobject_cast<QDialog*>(dialog)->reject(); });
        QVERIFY(!prompt.ChooseSaveFile(request));
    }
};

QTEST_MAIN(MessageBoxPromptTest)
#include "MessageBoxPromptTest.moc"

// The built-in guide: topics resolve to their pages, and no page links to one that is missing.

#include "desktop/HelpBrowser.h"

#include "desktop/HelpRequests.h"
#include "resources/VelkaroResources.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

using namespace velkaro;

class HelpBrowserTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initVelkaroResources(); }

    void topicOpensItsPage_data()
    {
        QTest::addColumn<QString>("topic");
        QTest::addColumn<QString>("page");
        QTest::newRow("no topic shows the contents") << QString() << "qrc:/help/velkaro/index.html";
        QTest::newRow("known topic") << "add-database"
                                     << "qrc:/help/velkaro/add-database.html";
        QTest::newRow("anchor on a page is kept") << "settings#log"
                                                  << "qrc:/help/velkaro/settings.html#log";
        QTest::newRow("unknown topic shows the contents") << "no-such-topic"
                                                          << "qrc:/help/velkaro/index.html";
        QTest::newRow("a path out of the guide is refused") << "../velkaro/index"
                                                            << "qrc:/help/velkaro/index.html";
    }
    void topicOpensItsPage()
    {
        QFETCH(QString, topic);
        QFETCH(QString, page);
        HelpBrowser browser(QUrl(QStringLiteral("qrc:/help/velkaro/")));
        browser.showTopic(topic);
        QCOMPARE(browser.currentPage().toString(), page);
        QVERIFY(!browser.browser()->toPlainText().isEmpty());
    }

    void everyLinkInTheGuideResolves()
    {
        const QDir guide(QStringLiteral(":/help/velkaro"));
        const QStringList pages = guide.entryList({QStringLiteral("*.html")});
        QVERIFY(pages.contains(QStringLiteral("index.html")));
        const QRegularExpression link(QStringLiteral("href=\"([^\"#]*)(#([^\"]*))?\""));
        for (const QString& page : pages) {
            QFile file(guide.filePath(page));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QString html = QString::fromUtf8(file.readAll());
            for (const QRegularExpressionMatch& match : link.globalMatch(html)) {
                const QString target = match.captured(1).isEmpty() ? page : match.captured(1);
                QVERIFY2(pages.contains(target), qPrintable(page + " links to " + target));
                const QString anchor = match.captured(3);
                if (anchor.isEmpty())
                    continue;
                QFile linked(guide.filePath(target));
                QVERIFY(linked.open(QIODevice::ReadOnly));
                QVERIFY2(linked.readAll().contains(("name=\"" + anchor + "\"").toUtf8()),
                         qPrintable(page + " links to a missing anchor " + anchor));
            }
        }
    }

    void oneWindowPerProgram()
    {
        HelpBrowser::setGuide(QUrl(QStringLiteral("qrc:/help/velkaro/")), QStringLiteral("Velkaro Help"));
        HelpBrowser* first = HelpBrowser::showHelp(QStringLiteral("log"));
        HelpBrowser* second = HelpBrowser::showHelp(QStringLiteral("keys"));
        QCOMPARE(first, second);
        QCOMPARE(second->windowTitle(), QStringLiteral("Velkaro Help"));
        QCOMPARE(second->currentPage().fileName(), QStringLiteral("keys.html"));
        const QPointer<HelpBrowser> window = second;
        HelpBrowser::closeHelp();
        QTRY_VERIFY(window.isNull());
    }

    // A modal dialog blocks the main window's F1 and knows nothing of the guide: both ways in
    // still reach the dialog's topic, in a window the modal dialog does not block.
    void dialogHelp_data()
    {
        QTest::addColumn<bool>("byKey");
        QTest::newRow("F1 in a modal dialog") << true;
        QTest::newRow("Help button") << false;
    }
    void dialogHelp()
    {
        QFETCH(bool, byKey);
        HelpBrowser::setGuide(QUrl(QStringLiteral("qrc:/help/velkaro/")), QStringLiteral("Velkaro Help"));
        HelpRequests requests([](const QWidget* window) { return window->objectName(); });
        QDialog dialog;
        dialog.setObjectName(QStringLiteral("remove-database"));
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel | QDialogButtonBox::Help, &dialog);
        QString shown;
        QTimer::singleShot(0, &dialog, [&] {
            if (byKey)
                QTest::keyClick(&dialog, Qt::Key_F1);
            else
                buttons->button(QDialogButtonBox::Help)->click();
            const auto windows = dialog.findChildren<HelpBrowser*>();
            if (windows.size() == 1 && windows.first()->isVisible())
                shown = windows.first()->currentPage().fileName();
            dialog.reject();
        });
        dialog.exec();
        QCOMPARE(shown, QStringLiteral("remove-database.html"));
    }
};

QTEST_MAIN(HelpBrowserTest)
#include "HelpBrowserTest.moc"

// The built-in guide: topics resolve to their pages, and no page links to one that is missing.

#include "desktop/HelpBrowser.h"

#include "resources/VelkaroResources.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>

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
};

QTEST_MAIN(HelpBrowserTest)
#include "HelpBrowserTest.moc"

#include "desktop/HelpBrowser.h"

#include <QApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace velkaro {

namespace {

struct Guide
{
    QUrl folder;
    QString title;
    QPointer<HelpBrowser> window;
};

Guide& guide()
{
    static Guide theGuide;
    return theGuide;
}

QString resourcePath(const QUrl& url)
{
    return url.scheme() == QLatin1String("qrc") ? QLatin1Char(':') + url.path() : url.toLocalFile();
}

} // namespace

HelpBrowser::HelpBrowser(const QUrl& guideFolder, QWidget* parent)
    : QWidget(parent, Qt::Window), m_folder(guideFolder)
{
    m_browser = new QTextBrowser(this);
    m_browser->setOpenExternalLinks(false);
    m_browser->setSearchPaths({resourcePath(guideFolder)});

    auto* back = new QPushButton(tr("&Back"), this);
    auto* forward = new QPushButton(tr("&Forward"), this);
    auto* contents = new QPushButton(tr("&Contents"), this);
    auto* close = new QPushButton(tr("Close"), this);
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(forward, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);
    connect(contents, &QPushButton::clicked, this, [this] { showTopic(QString()); });
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addWidget(forward);
    buttons->addWidget(contents);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_browser);
    resize(640, 560);
}

QUrl HelpBrowser::pageFor(const QString& topic) const
{
    const QString page = topic.section(QLatin1Char('#'), 0, 0);
    const QString anchor = topic.section(QLatin1Char('#'), 1);
    QUrl url = m_folder.resolved(QUrl(page + QLatin1String(".html")));
    if (page.isEmpty() || page.contains(QLatin1Char('/')) || !QFile::exists(resourcePath(url)))
        return m_folder.resolved(QUrl(QStringLiteral("index.html")));
    if (!anchor.isEmpty())
        url.setFragment(anchor);
    return url;
}

void HelpBrowser::showTopic(const QString& topic)
{
    m_browser->setSource(pageFor(topic));
}

QUrl HelpBrowser::currentPage() const
{
    return m_browser->source();
}

void HelpBrowser::setGuide(const QUrl& guideFolder, const QString& windowTitle)
{
    guide().folder = guideFolder;
    guide().title = windowTitle;
}

HelpBrowser* HelpBrowser::showHelp(const QString& topic)
{
    Guide& current = guide();
    // A modal dialog blocks every other window: help asked for from it is a window of its own.
    if (QWidget* modal = QApplication::activeModalWidget()) {
        auto* window = new HelpBrowser(current.folder, modal);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setWindowTitle(current.title);
        window->showTopic(topic);
        window->show();
        return window;
    }
    if (current.window.isNull()) {
        current.window = new HelpBrowser(current.folder);
        current.window->setAttribute(Qt::WA_DeleteOnClose);
        current.window->setWindowTitle(current.title);
    }
    current.window->showTopic(topic);
    current.window->show();
    current.window->raise();
    current.window->activateWindow();
    return current.window;
}

void HelpBrowser::closeHelp()
{
    if (!guide().window.isNull())
        guide().window->close();
}

} // namespace velkaro

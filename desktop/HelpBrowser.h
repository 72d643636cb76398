#pragma once

#include <QPointer>
#include <QUrl>
#include <QWidget>

class QTextBrowser;

namespace velkaro {

// The built-in user guide: one window per program showing HTML pages from the resources, with
// Back, Forward and Contents. F1 and the Help buttons open it at their topic.
class HelpBrowser final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HelpBrowser)

public:
    // guideFolder: where the pages live, e.g. "qrc:/help/velkaro/"; the contents page is index.html.
    explicit HelpBrowser(const QUrl& guideFolder, QWidget* parent = nullptr);

    // Shows the page "<topic>.html" (an optional "#anchor" after the topic is kept); an unknown
    // or empty topic shows the contents.
    void showTopic(const QString& topic);
    QUrl currentPage() const;
    QTextBrowser* browser() const { return m_browser; }

    // The program's guide, set once at start; showHelp opens the one window on it, or, while a modal
    // dialog is open, a window that belongs to that dialog.
    static void setGuide(const QUrl& guideFolder, const QString& windowTitle);
    static HelpBrowser* showHelp(const QString& topic);
    // Closes the guide's window, if open (the program is ending).
    static void closeHelp();

private:
    QUrl pageFor(const QString& topic) const;

    QUrl m_folder;
    QTextBrowser* m_browser = nullptr;
};

} // namespace velkaro

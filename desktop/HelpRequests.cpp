#include "desktop/HelpRequests.h"

#include "desktop/HelpBrowser.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QKeyEvent>

namespace velkaro {

namespace {
const char* const kHooked = "velkaroHelpHooked";
}

HelpRequests::HelpRequests(TopicFor topicFor, QObject* parent)
    : QObject(parent), m_topicFor(std::move(topicFor))
{
    qApp->installEventFilter(this);
}

HelpRequests::~HelpRequests()
{
    qApp->removeEventFilter(this);
}

bool HelpRequests::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show) {
        if (auto* dialog = qobject_cast<QDialog*>(watched))
            connectHelpButtons(dialog);
    } else if (event->type() == QEvent::KeyPress) {
        // Outside a modal dialog F1 is the main window's own shortcut; a modal dialog blocks that.
        const auto* key = static_cast<QKeyEvent*>(event);
        QWidget* modal = QApplication::activeModalWidget();
        if (key->key() == Qt::Key_F1 && key->modifiers() == Qt::NoModifier && modal != nullptr) {
            HelpBrowser::showHelp(m_topicFor(modal));
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void HelpRequests::connectHelpButtons(QWidget* dialog)
{
    if (dialog->property(kHooked).toBool())
        return;
    dialog->setProperty(kHooked, true);
    for (QDialogButtonBox* buttons : dialog->findChildren<QDialogButtonBox*>()) {
        connect(buttons, &QDialogButtonBox::helpRequested, dialog,
                [this, dialog] { HelpBrowser::showHelp(m_topicFor(dialog)); });
    }
}

} // namespace velkaro

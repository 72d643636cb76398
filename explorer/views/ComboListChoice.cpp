#include "explorer/views/ComboListChoice.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

namespace velkaro {

ComboListChoice::ComboListChoice(QComboBox* combo) : QObject(combo)
{
    // The list closes just before it reports its choice; the list's own clicks and keys are
    // watched as well, for a style that closes the list only after a fade.
    QAbstractItemView* list = combo->view();
    list->installEventFilter(this);
    list->viewport()->installEventFilter(this);
    if (QWidget* popup = list->parentWidget())
        popup->installEventFilter(this);
    connect(combo, &QComboBox::activated, this, [this](int index) {
        if (std::exchange(m_fromList, false) && index >= 0)
            emit Chosen(index);
    });
}

bool ComboListChoice::eventFilter(QObject* watched, QEvent* event)
{
    auto* list = qobject_cast<QAbstractItemView*>(watched == nullptr ? nullptr : watched->parent());
    if (event->type() == QEvent::Hide && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->isWindow()) {
        MarkChoice();
    } else if (event->type() == QEvent::MouseButtonRelease && list && watched == list->viewport()) {
        if (list->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint()).isValid())
            MarkChoice();
    } else if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Select)
            MarkChoice();
    }
    return false;
}

// The list reports the choice while it handles this very event; whatever it does not turn into
// a choice is forgotten once the event is over.
void ComboListChoice::MarkChoice()
{
    m_fromList = true;
    QTimer::singleShot(0, this, [this] { m_fromList = false; });
}

} // namespace velkaro

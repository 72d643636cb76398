#include "search/shell/ModalDialogs.h"

#include <QApplication>
#include <QDialog>

namespace velkaro {

void CloseModalDialogs()
{
    // Bounded: a dialog that refuses to go must not hold the program.
    for (int guard = 0; guard < 32; ++guard) {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
        modal->hide();
    }
}

} // namespace velkaro

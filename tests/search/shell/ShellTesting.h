#pragma once

#include <QApplication>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace velkaro {
class COmbrakView;
}

namespace velkaro::test {

class RecordingPrompt;

// Start as the user does it: the Parameters dialog gets the data source (when given, through the
// prompt's data source answer), the search text and the Start button.
void startRun(COmbrakView& view, RecordingPrompt& prompt, const QString& connectString, const QString& text,
              std::function<void(QWidget& dialog)> adjust = {});

// The settings store of the search program, emptied: a first start.
void RemoveZindrelSettings();

// Runs handle on the modal dialog of type Dialog once it is open (the caller then opens it).
template <typename Dialog> void whenModal(std::function<void(Dialog&)> handle)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, handle] {
        if (auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            handle(*dialog);
        }
    });
    timer->start();
}

template <typename Child> Child* child(const QObject* root, const QString& name)
{
    Child* found = root->findChild<Child*>(name);
    if (!found)
        qWarning("no child %s", qPrintable(name));
    return found;
}

} // namespace velkaro::test

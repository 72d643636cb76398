#pragma once

#include <QObject>
#include <functional>

namespace velkaro {

// Connects the program's dialogs to the guide without each dialog knowing of it: F1 in a modal
// dialog, and the Help button of any dialog's button box, open the guide at the topic the
// program names for that dialog. Install one on the application.
class HelpRequests final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HelpRequests)

public:
    using TopicFor = std::function<QString(const QWidget* window)>;

    explicit HelpRequests(TopicFor topicFor, QObject* parent = nullptr);
    ~HelpRequests() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void connectHelpButtons(QWidget* dialog);

    TopicFor m_topicFor;
};

} // namespace velkaro

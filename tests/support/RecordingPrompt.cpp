#include "RecordingPrompt.h"

namespace velkaro::test {

namespace {
template <typename T> T takeFront(std::deque<T>& queue, T fallback)
{
    if (queue.empty())
        return fallback;
    T answer = queue.front();
    queue.pop_front();
    return answer;
}
} // namespace

void RecordingPrompt::showMessage(const QString& text)
{
    messages.append(text);
}

bool RecordingPrompt::askYesNo(const QString& text)
{
    questions.append(text);
    return takeFront(yesNoAnswers, false);
}

std::optional<QString> RecordingPrompt::chooseSaveFile(const SaveFileRequest& request)
{
    saveFileRequests.append(request);
    return takeFront(saveFileAnswers, std::optional<QString>());
}

std::optional<QString> RecordingPrompt::chooseDataSource()
{
    ++dataSourceRequests;
    return takeFront(dataSourceAnswers, std::optional<QString>());
}

std::optional<LoginAnswer> RecordingPrompt::askLogin(const LoginRequest& request)
{
    loginRequests.append(request);
    return takeFront(loginAnswers, std::optional<LoginAnswer>());
}

} // namespace velkaro::test

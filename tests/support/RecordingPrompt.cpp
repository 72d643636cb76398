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
// As the real chooser selects it: the filter that names the default suffix, else the first.
QString defaultFilter(const SaveFileRequest& request)
{
    const QStringList filters = request.filter.split(QStringLiteral(";;"));
    for (const QString& filter : filters) {
        if (SaveFileChoice::FilterSuffix(filter) == request.defaultSuffix)
            return filter;
    }
    return filters.constFirst();
}
} // namespace

void RecordingPrompt::ShowMessage(const QString& text)
{
    messages.append(text);
}

void RecordingPrompt::ShowError(const QString& text)
{
    errors.append(text);
    ShowMessage(text);
}

bool RecordingPrompt::AskYesNo(const QString& text)
{
    questions.append(text);
    return takeFront(yesNoAnswers, false);
}

std::optional<SaveFileChoice> RecordingPrompt::ChooseSaveFile(const SaveFileRequest& request)
{
    saveFileRequests.append(request);
    const std::optional<QString> path = takeFront(saveFileAnswers, std::optional<QString>());
    const QString filter = takeFront(saveFileFilters, defaultFilter(request));
    if (!path)
        return std::nullopt;
    return SaveFileChoice{*path, filter};
}

std::optional<QString> RecordingPrompt::ChooseDataSource()
{
    ++dataSourceRequests;
    return takeFront(dataSourceAnswers, std::optional<QString>());
}

std::optional<LoginAnswer> RecordingPrompt::AskLogin(const LoginRequest& request)
{
    loginRequests.append(request);
    return takeFront(loginAnswers, std::optional<LoginAnswer>());
}

} // namespace velkaro::test

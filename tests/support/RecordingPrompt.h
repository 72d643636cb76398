#pragma once

#include "common/UserPrompt.h"

#include <QStringList>
#include <deque>

namespace velkaro::test {

// Answers every question from queues the test fills, and records what was asked.
// An unanswered question gets the cautious answer (No, cancel).
class RecordingPrompt final : public UserPrompt
{
public:
    void ShowMessage(const QString& text) override;
    // Recorded in messages as well.
    void ShowError(const QString& text) override;
    bool AskYesNo(const QString& text) override;
    std::optional<SaveFileChoice> ChooseSaveFile(const SaveFileRequest& request) override;
    std::optional<QString> ChooseDataSource() override;
    std::optional<LoginAnswer> AskLogin(const LoginRequest& request) override;

    std::deque<bool> yesNoAnswers;
    std::deque<std::optional<QString>> saveFileAnswers;
    // The filter chosen with each save answer; without one, the filter of the default suffix.
    std::deque<QString> saveFileFilters;
    std::deque<std::optional<QString>> dataSourceAnswers;
    std::deque<std::optional<LoginAnswer>> loginAnswers;

    QStringList messages;  // showMessage and showError texts
    QStringList errors;    // showError texts
    QStringList questions; // askYesNo texts
    QList<SaveFileRequest> saveFileRequests;
    QList<LoginRequest> loginRequests;
    int dataSourceRequests = 0;
};

} // namespace velkaro::test

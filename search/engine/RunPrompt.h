#pragma once

#include "common/UserPrompt.h"

namespace velkaro {

class RunFlags;
class SearchHost;

// The session's prompt while a run works: a catalog message goes through the run's host, which
// never blocks the worker, and is dropped once the run has been stopped (it is then only the
// driver telling of the cancel). Nothing else may be asked of the user from the worker.
class RunPrompt final : public UserPrompt
{
public:
    RunPrompt(SearchHost& host, const RunFlags& flags) : m_host(host), m_flags(flags) {}

    void ShowMessage(const QString& text) override;
    bool AskYesNo(const QString& text) override;
    std::optional<SaveFileChoice> ChooseSaveFile(const SaveFileRequest& request) override;
    std::optional<QString> ChooseDataSource() override;
    std::optional<LoginAnswer> AskLogin(const LoginRequest& request) override;

private:
    SearchHost& m_host;
    const RunFlags& m_flags;
};

} // namespace velkaro

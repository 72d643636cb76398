#include "search/engine/RunPrompt.h"

#include "search/engine/RunFlags.h"
#include "search/engine/SearchHost.h"

namespace velkaro {

void RunPrompt::ShowMessage(const QString& text)
{
    if (m_flags.IsRunning())
        m_host.ShowMessage(text);
}

bool RunPrompt::AskYesNo(const QString&)
{
    return false;
}

std::optional<SaveFileChoice> RunPrompt::ChooseSaveFile(const SaveFileRequest&)
{
    return std::nullopt;
}

std::optional<QString> RunPrompt::ChooseDataSource()
{
    return std::nullopt;
}

std::optional<LoginAnswer> RunPrompt::AskLogin(const LoginRequest&)
{
    return std::nullopt;
}

} // namespace velkaro

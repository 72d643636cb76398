#include "search/engine/RunPrompt.h"

#include "search/engine/RunFlags.h"
#include "search/engine/SearchHost.h"

namespace velkaro {

void RunPrompt::showMessage(const QString& text)
{
    if (m_flags.isRunning())
        m_host.showMessage(text);
}

bool RunPrompt::askYesNo(const QString&)
{
    return false;
}

std::optional<SaveFileChoice> RunPrompt::chooseSaveFile(const SaveFileRequest&)
{
    return std::nullopt;
}

std::optional<QString> RunPrompt::chooseDataSource()
{
    return std::nullopt;
}

std::optional<LoginAnswer> RunPrompt::askLogin(const LoginRequest&)
{
    return std::nullopt;
}

} // namespace velkaro

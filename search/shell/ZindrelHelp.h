#pragma once

#include <QString>

namespace velkaro {

// The pages of Zindrel's built-in guide.
enum class HelpTopic
{
    Contents,
    Parameters,
    AdvancedOptions,
    GeneralOptions,
    ControlPanel,
    Report
};

// Sets the guide up once, at start.
void InstallZindrelHelp();
// Opens the guide's window at the topic's page.
void ShowZindrelHelp(HelpTopic topic);
QString HelpTopicPage(HelpTopic topic);

} // namespace velkaro

#include "search/shell/ZindrelHelp.h"

#include "desktop/HelpBrowser.h"

#include <QUrl>

static void initZindrelHelpResource()
{
    Q_INIT_RESOURCE(zindrel_help);
}

namespace velkaro {

QString HelpTopicPage(HelpTopic topic)
{
    switch (topic) {
    case HelpTopic::Contents:
        return QString();
    case HelpTopic::Parameters:
        return QStringLiteral("parameters");
    case HelpTopic::AdvancedOptions:
        return QStringLiteral("advanced");
    case HelpTopic::GeneralOptions:
        return QStringLiteral("general");
    case HelpTopic::ControlPanel:
        return QStringLiteral("controlpanel");
    case HelpTopic::Report:
        return QStringLiteral("report");
    }
    return QString();
}

void InstallZindrelHelp()
{
    // The guide lives in a static library: its resources must be registered by hand.
    initZindrelHelpResource();
    HelpBrowser::setGuide(QUrl(QStringLiteral("qrc:/help/zindrel/")), QStringLiteral("Zindrel Help"));
}

void ShowZindrelHelp(HelpTopic topic)
{
    static const bool installed = [] {
        InstallZindrelHelp();
        return true;
    }();
    Q_UNUSED(installed);
    HelpBrowser::showHelp(HelpTopicPage(topic));
}

} // namespace velkaro

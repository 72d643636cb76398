#include "search/engine/ObjectNameSearch.h"

#include "catalog/CDbSession.h"
#include "search/engine/ReportWriter.h"
#include "search/engine/RunContext.h"
#include "search/engine/RunCoverage.h"
#include "search/engine/RunFlags.h"
#include "search/engine/SearchHost.h"
#include "search/engine/SearchParameters.h"

#include <QHash>
#include <algorithm>

namespace velkaro {

void ObjectNameSearch::Run(const QStringList& filter, bool objectsLoaded)
{
    m_run.SetTitle(QStringLiteral("Analyzing Database"));
    const Objects objects = ReadObjects(filter, objectsLoaded);
    m_run.SetTitle(QStringLiteral("Searching Object Names"));
    WriteCountLine(int(objects.size()));
    ChooseRunObjects(objects);
    m_run.host.SetProgressRange(SearchProgressBar::Objects, int(objects.size()));
    WalkObjects(objects);
    m_run.host.FinishProgress(SearchProgressBar::Objects);
}

bool ObjectNameSearch::NamedByFilter(const QStringList& filter, const SearchObjectRecord& object)
{
    return filter.contains(object.name) || NamedWithContainer(filter, object);
}

bool ObjectNameSearch::NamedWithContainer(const QStringList& filter, const SearchObjectRecord& object)
{
    return !object.Container().isEmpty() &&
           filter.contains(object.Container() + QLatin1Char('.') + object.name);
}

QStringList ObjectNameSearch::UnknownNames(const QStringList& filter, const Objects& objects)
{
    QStringList unknown;
    for (const QString& name : filter) {
        const QStringList one{name};
        const bool known = std::any_of(objects.begin(), objects.end(),
                                       [&](const auto& object) { return NamedByFilter(one, *object); });
        if (!known && !unknown.contains(name))
            unknown.append(name);
    }
    return unknown;
}

SearchObjectScope ObjectNameSearch::ScopeFor(bool systemObjects, const QStringList& filter)
{
    SearchObjectScope scope;
    scope.systemObjects = systemObjects;
    // A system object named with its schema is searched without the option; a bare name
    // could stand for any of the server's hundreds of objects.
    if (!filter.isEmpty())
        scope.named = [filter](const SearchObjectRecord& object) {
            return NamedWithContainer(filter, object);
        };
    return scope;
}

ObjectNameSearch::Objects ObjectNameSearch::ReadObjects(const QStringList& filter, bool objectsLoaded)
{
    if (!objectsLoaded) {
        const SearchObjectScope scope = ScopeFor(m_run.parameters.searchSystemObjects, filter);
        const SearchObjectListResult result = m_run.session.LoadSearchObjects(scope, [this] {
            try {
                m_run.flags.Checkpoint();
                return false;
            } catch (const RunStopped&) {
                return true;
            }
        });
        if (result.stopped)
            throw RunStopped{};
        // A list call cancelled by a stop ends without rows.
        m_run.flags.Checkpoint();
    }
    Objects objects = m_run.session.SearchObjects().Snapshot();
    if (!filter.isEmpty()) {
        for (const auto& object : objects)
            object->excluded = NamedByFilter(filter, *object) ? 0 : 1;
    }
    return objects;
}

void ObjectNameSearch::WriteCountLine(int objectCount)
{
    ReportWriter& report = m_run.writer;
    report.AppendReport(QStringLiteral("\r\n\r\n\r\n") + QString::number(objectCount), ReportColor::Text);
    report.AppendReport(objectCount == 1 ? QStringLiteral(" object was found in ")
                                         : QStringLiteral(" objects were found in "),
                        ReportColor::Heading);
    report.AppendReport(m_run.session.DisplayName(), ReportColor::Text);
}

// The run's objects and the names they are shown by; the Control Panel lists them all at once.
void ObjectNameSearch::ChooseRunObjects(const Objects& objects)
{
    m_run.objects.clear();
    QHash<QString, int> uses;
    for (const auto& object : objects) {
        if (!object->excluded)
            ++uses[object->name];
    }
    QStringList names;
    for (const auto& object : objects) {
        if (object->excluded)
            continue;
        QString shown = object->name;
        if (uses.value(object->name) > 1 && !object->Container().isEmpty())
            shown = object->Container() + QLatin1Char('.') + object->name;
        m_run.objects.push_back({object, shown});
        names.append(shown);
    }
    m_run.host.SetObjectList(names);
    // Sequences are never read: they hold no rows.
    const auto sequences =
        std::count_if(m_run.objects.begin(), m_run.objects.end(),
                      [](const RunObject& run) { return run.record->type == QLatin1String("SEQUENCE"); });
    m_run.coverage.SetObjects(int(m_run.objects.size() - sequences), m_run.parameters.searchData);
}

void ObjectNameSearch::WalkObjects(const Objects& objects)
{
    std::vector<QString> found;
    bool firstNotProcessed = true;
    auto next = m_run.objects.cbegin();
    for (const auto& object : objects) {
        m_run.flags.Checkpoint();
        if (object->excluded) {
            ListNotProcessed(*object, firstNotProcessed);
            continue;
        }
        object->processed = 1;
        object->runMark = 0;
        const QString& shown = (next++)->reportName;
        m_run.host.SelectObject(shown);
        m_run.host.StepProgress(SearchProgressBar::Objects);
        if (m_run.parameters.searchObjectNames && m_run.matcher.MatchText(object->name).found)
            found.push_back(shown);
    }
    ReportFoundNames(found);
}

void ObjectNameSearch::ListNotProcessed(const SearchObjectRecord& object, bool& first)
{
    m_run.coverage.LeftOutByObjectList();
    if (!m_run.parameters.listNotProcessedObjects)
        return;
    ReportWriter& report = m_run.writer;
    if (first) {
        report.AppendReport(QStringLiteral("\r\n\r\n\r\nThe following objects were not processed in "),
                            ReportColor::Black);
        report.AppendReport(m_run.session.DisplayName() + QStringLiteral("\r\n"), ReportColor::Text, false,
                            true);
        first = false;
    }
    report.AppendReport(QStringLiteral("\r\n\t\t") + object.type + QStringLiteral(": ") + object.name,
                        ReportColor::Text, false, true);
}

void ObjectNameSearch::ReportFoundNames(const std::vector<QString>& found)
{
    if (found.empty())
        return;
    ReportWriter& report = m_run.writer;
    report.AppendReport(QStringLiteral("\r\n\r\n\r\nInstances found in Object Names\r\n"),
                        ReportColor::Heading);
    for (const QString& name : found)
        report.AppendHighlighted(QStringLiteral("\r\n\t\t") + name, ReportColor::Text);
}

} // namespace velkaro

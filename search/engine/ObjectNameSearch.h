#pragma once

#include "catalog/SearchObjectListLoader.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace velkaro {

class RunContext;
struct SearchObjectRecord;

// The object phase: reads the object list (unless the Advanced sheet already did), chooses the
// run's objects, lists those left out, and reports the object names that match.
class ObjectNameSearch final
{
public:
    explicit ObjectNameSearch(RunContext& run) : m_run(run) {}

    // filter: the names taking part, empty for all; objectsLoaded: keep the session's list and
    // its excluded flags as they are.
    void Run(const QStringList& filter, bool objectsLoaded);

    // True when the filter names the object by its name or by owner + "." + name (qualifier +
    // "." + name where the DBMS has no owners).
    static bool NamedByFilter(const QStringList& filter, const SearchObjectRecord& object);
    // The same, by owner + "." + name only.
    static bool NamedWithContainer(const QStringList& filter, const SearchObjectRecord& object);
    // The object list a run reads: system objects with the option, or when the filter names them
    // with their schema.
    static SearchObjectScope ScopeFor(bool systemObjects, const QStringList& filter);
    // The names of the filter that name none of the objects: most likely typing errors.
    static QStringList UnknownNames(const QStringList& filter,
                                    const std::vector<std::shared_ptr<SearchObjectRecord>>& objects);

private:
    using Objects = std::vector<std::shared_ptr<SearchObjectRecord>>;

    Objects ReadObjects(const QStringList& filter, bool objectsLoaded);
    void WriteCountLine(int objectCount);
    void ChooseRunObjects(const Objects& objects);
    void WalkObjects(const Objects& objects);
    void ListNotProcessed(const SearchObjectRecord& object, bool& first);
    void ReportFoundNames(const std::vector<QString>& found);

    RunContext& m_run;
};

} // namespace velkaro

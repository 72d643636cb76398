#pragma once

#include "catalog/CatalogConnection.h"
#include "catalog/SearchRecords.h"
#include "search/engine/TextMatcher.h"

#include <QString>
#include <memory>
#include <vector>

namespace velkaro {

class CDbSession;
class ReportWriter;
class RunCoverage;
class RunFlags;
class RunTitle;
class SearchHost;
struct SearchParameters;

// One object taking part in a run, with the name the report and the Control Panel show: the
// catalog name, or owner (or qualifier) + "." + name when another object of the run has the same
// name.
struct RunObject
{
    std::shared_ptr<SearchObjectRecord> record;
    QString reportName;
};

// What the phases of one run share. Lives on the run's thread for the length of the run.
class RunContext final
{
public:
    RunContext(CDbSession& session, const SearchParameters& parameters, ReportWriter& writer,
               SearchHost& host, RunFlags& flags, RunTitle& title, RunCoverage& coverage);
    RunContext(const RunContext&) = delete;
    RunContext& operator=(const RunContext&) = delete;

    // Shows "<state> - Zindrel".
    void SetTitle(const QString& state);
    // The owners to try for a catalog call about the object: the one the catalog listed; without
    // one, the login's and then any.
    QStringList OwnerCandidates(const SearchObjectRecord& object) const;
    // The session's error text for the statement, empty when the driver gave none.
    QString StatementError(SQLHSTMT statement);

    CDbSession& session;
    const SearchParameters& parameters;
    const TextMatcher matcher;
    ReportWriter& writer;
    SearchHost& host;
    RunFlags& flags;
    RunTitle& title;
    RunCoverage& coverage; // outlives the context: a stopped run still writes it
    const CatalogConnection catalog;
    std::vector<RunObject> objects;
};

} // namespace velkaro

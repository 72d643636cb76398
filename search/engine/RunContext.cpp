#include "search/engine/RunContext.h"

#include "catalog/CDbSession.h"
#include "catalog/ObjectCatalogCall.h"
#include "search/engine/RunTitle.h"
#include "search/engine/SearchParameters.h"

namespace velkaro {

RunContext::RunContext(CDbSession& session, const SearchParameters& parameters, ReportWriter& writer,
                       SearchHost& host, RunFlags& flags, RunTitle& title, RunCoverage& coverage)
    : session(session), parameters(parameters), matcher(parameters), writer(writer), host(host), flags(flags),
      title(title), coverage(coverage), catalog(session.hdbc(), session.uid(), {}, &session.statementCancel())
{}

void RunContext::setTitle(const QString& state)
{
    title.set(RunTitle::Of(state));
}

QStringList RunContext::ownerCandidates(const SearchObjectRecord& object) const
{
    return ObjectCatalogCall::OwnerCandidates(object.owner, session.userName());
}

QString RunContext::statementError(SQLHSTMT statement)
{
    return session.ReportError(&statement, false) ? session.lastError() : QString();
}

} // namespace velkaro

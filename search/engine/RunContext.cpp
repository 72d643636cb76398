#include "search/engine/RunContext.h"

#include "catalog/CDbSession.h"
#include "catalog/ObjectCatalogCall.h"
#include "search/engine/RunTitle.h"
#include "search/engine/SearchParameters.h"

namespace velkaro {

RunContext::RunContext(CDbSession& session, const SearchParameters& parameters, ReportWriter& writer,
                       SearchHost& host, RunFlags& flags, RunTitle& title, RunCoverage& coverage)
    : session(session), parameters(parameters), matcher(parameters), writer(writer), host(host), flags(flags),
      title(title), coverage(coverage),
      catalog(session.Hdbc(), session.Uid(), {}, &session.GetStatementCancel())
{}

void RunContext::SetTitle(const QString& state)
{
    title.Set(RunTitle::Of(state));
}

QStringList RunContext::OwnerCandidates(const SearchObjectRecord& object) const
{
    return ObjectCatalogCall::OwnerCandidates(object.owner, session.UserName());
}

QString RunContext::StatementError(SQLHSTMT statement)
{
    return session.ReportError(&statement, false) ? session.LastError() : QString();
}

} // namespace velkaro

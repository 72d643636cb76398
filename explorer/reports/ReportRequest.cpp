#include "explorer/reports/ReportRequest.h"

namespace velkaro {

bool ReportChoice::Matches(const ObjectRecord& object) const
{
    return object.Name() == name && (anyOwner || object.Owner() == owner);
}

} // namespace velkaro

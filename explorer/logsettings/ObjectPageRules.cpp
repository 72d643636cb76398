#include "explorer/logsettings/ObjectPageRules.h"

namespace velkaro {

ObjectPageRules::Enabled ObjectPageRules::Evaluate(const Checks& checks)
{
    Enabled enabled;
    enabled.columns = checks.tables || checks.views || checks.synonyms;
    enabled.indexes = checks.tables;
    enabled.indexColumns = checks.tables && checks.indexes;
    return enabled;
}

} // namespace velkaro

#include "explorer/reports/ReportSettings.h"

#include "common/ProfileStore.h"

namespace velkaro {

namespace {
constexpr IntSetting kColumns{"Report", "RDC", 1};
constexpr IntSetting kOnlyWithColumns{"Report", "ROC", 1};
constexpr IntSetting kIndexes{"Report", "RDI", 1};
constexpr IntSetting kPrimaryKeys{"Report", "RDP", 1};
constexpr IntSetting kForeignKeys{"Report", "RDF", 1};
constexpr IntSetting kToFile{"Report", "ROF", 0};
constexpr IntSetting kPageBreak{"Report", "RPB", 0};
constexpr StringSetting kFileName{"Report", "RPF", ""};
constexpr StringSetting kDatabase{"Report", "Look", ""};
} // namespace

ReportSettings ReportSettings::Load(const ProfileStore& store)
{
    ReportSettings settings;
    settings.columns = kColumns.Read(store) != 0;
    settings.onlyWithColumns = kOnlyWithColumns.Read(store) != 0;
    settings.indexes = kIndexes.Read(store) != 0;
    settings.primaryKeys = kPrimaryKeys.Read(store) != 0;
    settings.foreignKeys = kForeignKeys.Read(store) != 0;
    settings.toFile = kToFile.Read(store) != 0;
    settings.pageBreak = kPageBreak.Read(store) != 0;
    settings.fileName = kFileName.Read(store);
    settings.database = kDatabase.Read(store);
    return settings;
}

bool ReportSettings::Save(ProfileStore& store) const
{
    bool written = kColumns.Write(store, columns ? 1 : 0);
    written = kIndexes.Write(store, indexes ? 1 : 0) && written;
    written = kOnlyWithColumns.Write(store, onlyWithColumns ? 1 : 0) && written;
    written = kPrimaryKeys.Write(store, primaryKeys ? 1 : 0) && written;
    written = kForeignKeys.Write(store, foreignKeys ? 1 : 0) && written;
    written = kToFile.Write(store, toFile ? 1 : 0) && written;
    written = kPageBreak.Write(store, pageBreak ? 1 : 0) && written;
    written = kFileName.Write(store, fileName) && written;
    return kDatabase.Write(store, database) && written;
}

} // namespace velkaro

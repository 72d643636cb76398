#include "explorer/core/FindOptions.h"

#include "common/ProfileStore.h"

namespace velkaro {

namespace {

constexpr StringSetting kLookIn{"Find", "Look", ""};
constexpr IntSetting kWholeWord{"Find", "Match", 0};
constexpr IntSetting kDatabaseNames{"Find", "FD", 1};
constexpr IntSetting kObjectNames{"Find", "FT", 1};
constexpr IntSetting kColumnNames{"Find", "FC", 1};
constexpr IntSetting kIndexNames{"Find", "FI", 1};
constexpr IntSetting kIndexColumnNames{"Find", "FO", 1};

} // namespace

FindOptions FindOptions::Load(const ProfileStore& store)
{
    FindOptions options;
    options.wholeWord = kWholeWord.Read(store) != 0;
    options.databaseNames = kDatabaseNames.Read(store) != 0;
    options.objectNames = kObjectNames.Read(store) != 0;
    options.columnNames = kColumnNames.Read(store) != 0;
    options.indexNames = kIndexNames.Read(store) != 0;
    options.indexColumnNames = kIndexColumnNames.Read(store) != 0;
    return options;
}

bool FindOptions::Save(ProfileStore& store) const
{
    bool saved = kWholeWord.Write(store, wholeWord ? 1 : 0);
    saved = kDatabaseNames.Write(store, databaseNames ? 1 : 0) && saved;
    saved = kObjectNames.Write(store, objectNames ? 1 : 0) && saved;
    saved = kColumnNames.Write(store, columnNames ? 1 : 0) && saved;
    saved = kIndexNames.Write(store, indexNames ? 1 : 0) && saved;
    return kIndexColumnNames.Write(store, indexColumnNames ? 1 : 0) && saved;
}

QString FindOptions::LoadLookIn(const ProfileStore& store)
{
    return kLookIn.Read(store);
}

bool FindOptions::SaveLookIn(ProfileStore& store, const QString& text)
{
    return kLookIn.Write(store, text);
}

} // namespace velkaro

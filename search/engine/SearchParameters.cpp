#include "search/engine/SearchParameters.h"

#include "common/ProfileStore.h"
#include "search/engine/SearchTerms.h"

namespace velkaro {

namespace {

// Each value once, in the order they are saved.
const IntSetting kSpecialNameMode{"Settings", "asn", 0};
const IntSetting kMatchCase{"Settings", "mac", 0};
const IntSetting kMatchMode{"Settings", "sem", 0};
const IntSetting kAutoSaveLines{"Settings", "asl", 500};
const IntSetting kStandardTypes{"Settings", "bdt", 0};
const IntSetting kIgnoreTypeLength{"Settings", "ccl", 0};
const IntSetting kIgnoreCaseColumns{"Settings", "ccc", 1};
const IntSetting kIgnoreCaseData{"Settings", "cdc", 0};
const IntSetting kIgnoreTrailing{"Settings", "cdt", 0};
const IntSetting kIgnoreLeading{"Settings", "cdl", 0};
const IntSetting kIgnoreCaseObjects{"Settings", "ctc", 1};
const IntSetting kListCommon{"Settings", "doc", 1};
const IntSetting kOwnedByUser{"Settings", "uid", 0};
const IntSetting kListNotProcessed{"Settings", "dos", 1};
const IntSetting kSearchIndexes{"Settings", "din", 1};
const IntSetting kSearchData{"Settings", "dda", 1};
const IntSetting kSearchTypes{"Settings", "ddt", 1};
const IntSetting kSearchObjects{"Settings", "dst", 1};
const IntSetting kSearchColumns{"Settings", "dcl", 1};
const IntSetting kSearchSystemObjects{"Settings", "sys", 0};
const IntSetting kServerFilter{"Settings", "srf", 1};

struct FlagBinding
{
    const IntSetting& setting;
    bool SearchParameters::*field;
};

// The flags in save order, with the integer values in between kept apart.
const FlagBinding kFlagsAfterTypes[] = {
    {kStandardTypes, &SearchParameters::useOdbcStandardTypes},
    {kIgnoreTypeLength, &SearchParameters::ignoreColumnTypeLength},
    {kIgnoreCaseColumns, &SearchParameters::ignoreCaseColumnNames},
    {kIgnoreCaseData, &SearchParameters::ignoreCaseData},
    {kIgnoreTrailing, &SearchParameters::ignoreTrailingSpaces},
    {kIgnoreLeading, &SearchParameters::ignoreLeadingSpaces},
    {kIgnoreCaseObjects, &SearchParameters::ignoreCaseObjectNames},
    {kListCommon, &SearchParameters::listCommonObjects},
    {kOwnedByUser, &SearchParameters::ownedByCurrentUserOnly},
    {kListNotProcessed, &SearchParameters::listNotProcessedObjects},
    {kSearchIndexes, &SearchParameters::searchIndexes},
    {kSearchData, &SearchParameters::searchData},
    {kSearchTypes, &SearchParameters::searchDataTypes},
    {kSearchObjects, &SearchParameters::searchObjectNames},
    {kSearchColumns, &SearchParameters::searchColumnNames},
    {kSearchSystemObjects, &SearchParameters::searchSystemObjects},
    {kServerFilter, &SearchParameters::serverFilter},
};

} // namespace

void SearchParameters::Load(const ProfileStore& store)
{
    *this = SearchParameters();
    specialNameMode = static_cast<SpecialNameMode>(kSpecialNameMode.Read(store));
    matchCase = kMatchCase.Read(store) != 0;
    matchMode = static_cast<MatchMode>(kMatchMode.Read(store));
    autoSaveLines = kAutoSaveLines.Read(store);
    for (const FlagBinding& flag : kFlagsAfterTypes)
        this->*flag.field = flag.setting.Read(store) != 0;
    searchHistory.Load(store);
    searchText = searchHistory.Newest();
}

bool SearchParameters::Save(ProfileStore& store) const
{
    bool ok = searchHistory.Save(store);
    ok = kSpecialNameMode.Write(store, static_cast<int>(specialNameMode)) && ok;
    ok = kMatchCase.Write(store, matchCase ? 1 : 0) && ok;
    ok = kMatchMode.Write(store, static_cast<int>(matchMode)) && ok;
    ok = kAutoSaveLines.Write(store, autoSaveLines) && ok;
    for (const FlagBinding& flag : kFlagsAfterTypes)
        ok = flag.setting.Write(store, this->*flag.field ? 1 : 0) && ok;
    return ok;
}

void SearchParameters::AcceptSearchText(const QString& text)
{
    searchText = text;
    searchTerms = SplitSearchTerms(text);
    searchHistory.Remember(text);
}

} // namespace velkaro

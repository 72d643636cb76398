#pragma once

#include "common/RecentStrings.h"

#include <QString>
#include <QStringList>

namespace velkaro {

class ProfileStore;

// Stored as integers; a value outside the list matches nothing.
enum class MatchMode : int
{
    AnySubstring = 0,
    WholeWord = 1,
    Prefix = 2,
    Suffix = 3
};

enum class SpecialNameMode : int
{
    AutoDetect = 0,
    AllSpecial = 1,
    AllRegular = 2
};

enum class OutputMode
{
    Screen,
    CompleteToFile,
    IncrementalAutoSave
};

// The one parameter record of the search program. The interface thread edits it only while no
// run is active; the run's worker reads it without locking.
struct SearchParameters final
{
    static constexpr int kMinAutoSaveLines = 1;
    static constexpr int kMaxAutoSaveLines = 999999;

    QString searchText;
    QStringList searchTerms;
    bool searchObjectNames = true;
    bool searchColumnNames = true;
    bool searchDataTypes = true;
    bool searchIndexes = true;
    bool searchData = true;
    MatchMode matchMode = MatchMode::AnySubstring;
    bool matchCase = false;
    SpecialNameMode specialNameMode = SpecialNameMode::AutoDetect;
    bool useOdbcStandardTypes = false;
    bool ownedByCurrentUserOnly = false;
    // The server's own schemas and system tables are searched too.
    bool searchSystemObjects = false;
    // The data queries ask the server to leave out rows that cannot hold an instance.
    bool serverFilter = true;
    OutputMode outputMode = OutputMode::Screen;
    QString reportFileName;
    int autoSaveLines = 500;
    bool ignoreCaseObjectNames = true;
    bool listCommonObjects = true;
    bool listNotProcessedObjects = true;
    QStringList ignoredColumnPatterns;
    bool ignoreCaseColumnNames = true;
    bool ignoreColumnTypeLength = false;
    bool ignoreCaseData = false;
    bool ignoreLeadingSpaces = false;
    bool ignoreTrailingSpaces = false;
    RecentStrings searchHistory{QStringLiteral("Find")};

    // Replaces every field with its stored value or default; searchText becomes the newest
    // history entry.
    void Load(const ProfileStore& store);
    // The history first, then the settings. False when any value could not be written.
    bool Save(ProfileStore& store) const;

    // On Start: splits searchText into searchTerms and records it in the history.
    void AcceptSearchText(const QString& text);
};

} // namespace velkaro

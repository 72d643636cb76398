#pragma once

namespace velkaro {

class ActivityLog;
class ProfileStore;
class UserPrompt;
struct LogSettings;
struct LookupSettings;
struct ObjectSettings;
struct RefreshSettings;

// What the settings sheet edits and where it reports: the explorer's settings groups, the store
// they are saved to, the log that records the changes and the prompt for the user.
struct SettingsSheetContext
{
    LogSettings& log;
    ObjectSettings& objects;
    LookupSettings& lookup;
    RefreshSettings& refresh;
    ProfileStore& store;
    ActivityLog& activityLog;
    UserPrompt& prompt;
};

} // namespace velkaro

#pragma once

#include <QString>
#include <atomic>

namespace velkaro {

class ProfileStore;

// Section "Log": where the activity log goes, how it opens at start-up and which
// categories of events are recorded. Worker threads read the switches while the
// settings sheet changes them, hence the atomics.
struct LogSettings
{
    // Base name without ".log"; may hold a directory. Once the log is running it is read
    // and replaced only through ActivityLog, under its writer lock.
    QString fileName;
    std::atomic<int> enabled;
    std::atomic<int> truncate;
    std::atomic<int> append;
    std::atomic<int> LOBJ;
    std::atomic<int> LCOL;
    std::atomic<int> LIND;
    std::atomic<int> LSOBJ;
    std::atomic<int> LSCOL;
    std::atomic<int> LSIND;
    std::atomic<int> LREF;
    std::atomic<int> LADD;
    std::atomic<int> LREM;
    std::atomic<int> LANY;

    // An empty stored name means the default base name.
    // Every value at its default, as an empty store reads.
    LogSettings();

    void Load(const ProfileStore& store);
    // False when the store could not be written.
    bool Save(ProfileStore& store) const;

    static QString DefaultFileName();
};

} // namespace velkaro

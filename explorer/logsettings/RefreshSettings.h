#pragma once

#include <QTime>
#include <atomic>

namespace velkaro {

class ProfileStore;

// Section "Refresh": the timed auto-refresh. Only the time of day of the two bounds matters;
// the scheduler reads them on the interface thread.
struct RefreshSettings
{
    std::atomic<int> RAUTO;
    std::atomic<int> RIDLE;
    std::atomic<int> RMAX;
    std::atomic<int> RTIME;
    QTime notBefore;
    QTime notAfter;

    // Every value at its default, as an empty store reads.
    RefreshSettings();

    void Load(const ProfileStore& store);
    // False when the store could not be written.
    bool Save(ProfileStore& store) const;
};

} // namespace velkaro

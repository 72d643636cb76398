#pragma once

#include <atomic>

namespace velkaro {

class ProfileStore;

// Section "ObjLook": when objects and their details are retrieved, and how many
// databases load or refresh at once.
struct LookupSettings
{
    std::atomic<int> RAOBJ;
    std::atomic<int> RACOL;
    std::atomic<int> MaxM;

    // Every value at its default, as an empty store reads.
    LookupSettings();

    void Load(const ProfileStore& store);
    // False when the store could not be written.
    bool Save(ProfileStore& store) const;
};

} // namespace velkaro

#pragma once

#include "common/ProfileStore.h"

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
    // "Calculate statistics next time" on a table's General property page.
    std::atomic<int> DOST;

    static const IntSetting kDost;

    // Every value at its default, as an empty store reads.
    LookupSettings();

    void Load(const ProfileStore& store);
    // False when the store could not be written.
    bool Save(ProfileStore& store) const;
};

} // namespace velkaro

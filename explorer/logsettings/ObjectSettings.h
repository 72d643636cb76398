#pragma once

#include <atomic>

namespace velkaro {

class ProfileStore;

// Section "Obj": which kinds of objects and which details the catalog retrieval fetches.
struct ObjectSettings
{
    std::atomic<int> OSEQ;
    std::atomic<int> OSYS;
    std::atomic<int> OSYN;
    std::atomic<int> OTAB;
    std::atomic<int> OVIEW;
    std::atomic<int> OCOL;
    std::atomic<int> OIND;
    std::atomic<int> OINDCOL;
    std::atomic<int> OOTHERS;

    // Every value at its default, as an empty store reads.
    ObjectSettings();

    void Load(const ProfileStore& store);
    // False when the store could not be written.
    bool Save(ProfileStore& store) const;
};

} // namespace velkaro

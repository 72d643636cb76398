#pragma once

#include "common/ProfileStore.h"

#include <atomic>
#include <span>

namespace velkaro {

// One integer value of a settings group: where it is stored and which field holds it.
// A group lists its values once, in store order, and loads and saves through that list.
template <typename Group> struct IntField
{
    IntSetting setting;
    std::atomic<int> Group::*field;
};

template <typename Group> void resetFields(Group& group, std::span<const IntField<Group>> fields)
{
    for (const IntField<Group>& f : fields)
        (group.*f.field).store(f.setting.defaultValue);
}

template <typename Group>
void loadFields(Group& group, const ProfileStore& store, std::span<const IntField<Group>> fields)
{
    for (const IntField<Group>& f : fields)
        (group.*f.field).store(f.setting.Read(store));
}

// Writes every value even after a failure, so one bad write does not hide the others.
template <typename Group>
bool saveFields(const Group& group, ProfileStore& store, std::span<const IntField<Group>> fields)
{
    bool ok = true;
    for (const IntField<Group>& f : fields)
        ok = f.setting.Write(store, (group.*f.field).load()) && ok;
    return ok;
}

} // namespace velkaro

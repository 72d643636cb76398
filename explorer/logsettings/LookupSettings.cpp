#include "explorer/logsettings/LookupSettings.h"

#include "explorer/logsettings/SettingsFields.h"

#include <array>

namespace velkaro {

const IntSetting LookupSettings::kDost{"ObjLook", "DOST", 1};

namespace {
using F = IntField<LookupSettings>;
const IntSetting kMaxM{"ObjLook", "MaxM", 5};
const std::array<F, 4> kFields{{
    {{"ObjLook", "RAOBJ", 0}, &LookupSettings::RAOBJ},
    {{"ObjLook", "RACOL", 0}, &LookupSettings::RACOL},
    {kMaxM, &LookupSettings::MaxM},
    {LookupSettings::kDost, &LookupSettings::DOST},
}};
} // namespace

LookupSettings::LookupSettings()
{
    resetFields<LookupSettings>(*this, kFields);
}

void LookupSettings::Load(const ProfileStore& store)
{
    loadFields<LookupSettings>(*this, store, kFields);
    // No slot at all would queue every load for good: a stored 0 or less means the default.
    if (MaxM.load() <= 0)
        MaxM.store(kMaxM.defaultValue);
}

bool LookupSettings::Save(ProfileStore& store) const
{
    return saveFields<LookupSettings>(*this, store, kFields);
}

} // namespace velkaro

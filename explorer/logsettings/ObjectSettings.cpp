#include "explorer/logsettings/ObjectSettings.h"

#include "explorer/logsettings/SettingsFields.h"

#include <array>

namespace velkaro {

namespace {
using F = IntField<ObjectSettings>;
const std::array<F, 9> kFields{{
    {{"Obj", "OSEQ", 1}, &ObjectSettings::OSEQ},
    {{"Obj", "OSYS", 1}, &ObjectSettings::OSYS},
    {{"Obj", "OSYN", 1}, &ObjectSettings::OSYN},
    {{"Obj", "OTAB", 1}, &ObjectSettings::OTAB},
    {{"Obj", "OVIEW", 1}, &ObjectSettings::OVIEW},
    {{"Obj", "OCOL", 1}, &ObjectSettings::OCOL},
    {{"Obj", "OIND", 1}, &ObjectSettings::OIND},
    {{"Obj", "OINDCOL", 1}, &ObjectSettings::OINDCOL},
    {{"Obj", "OOTHERS", 0}, &ObjectSettings::OOTHERS},
}};
} // namespace

ObjectSettings::ObjectSettings()
{
    resetFields<ObjectSettings>(*this, kFields);
}

void ObjectSettings::Load(const ProfileStore& store)
{
    loadFields<ObjectSettings>(*this, store, kFields);
}

bool ObjectSettings::Save(ProfileStore& store) const
{
    return saveFields<ObjectSettings>(*this, store, kFields);
}

} // namespace velkaro

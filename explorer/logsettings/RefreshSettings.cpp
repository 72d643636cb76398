#include "explorer/logsettings/RefreshSettings.h"

#include "explorer/logsettings/SettingsFields.h"

#include <array>

namespace velkaro {

namespace {
using F = IntField<RefreshSettings>;
const std::array<F, 4> kFields{{
    {{"Refresh", "RAUTO", 1}, &RefreshSettings::RAUTO},
    {{"Refresh", "RIDLE", 60}, &RefreshSettings::RIDLE},
    {{"Refresh", "RMAX", 240}, &RefreshSettings::RMAX},
    {{"Refresh", "RTIME", 0}, &RefreshSettings::RTIME},
}};

// A time of day stored as three integers, hour, minute and second.
struct TimeSetting
{
    IntSetting hour;
    IntSetting minute;
    IntSetting second;

    // A stored triple that is no time of day (hour 25, say) cannot be held as one: the default
    // is used instead of an invalid time that would be written back as -1.
    QTime Read(const ProfileStore& store) const
    {
        const QTime stored(hour.Read(store), minute.Read(store), second.Read(store));
        return stored.isValid() ? stored : DefaultTime();
    }

    QTime DefaultTime() const { return QTime(hour.defaultValue, minute.defaultValue, second.defaultValue); }

    bool Write(ProfileStore& store, const QTime& time) const
    {
        const bool hourOk = hour.Write(store, time.hour());
        const bool minuteOk = minute.Write(store, time.minute());
        return second.Write(store, time.second()) && hourOk && minuteOk;
    }
};

const TimeSetting kNotBefore{{"Refresh", "RBHH", 19}, {"Refresh", "RBMM", 0}, {"Refresh", "RBSS", 0}};
const TimeSetting kNotAfter{{"Refresh", "RAHH", 6}, {"Refresh", "RAMM", 0}, {"Refresh", "RASS", 0}};
} // namespace

RefreshSettings::RefreshSettings() : notBefore(kNotBefore.DefaultTime()), notAfter(kNotAfter.DefaultTime())
{
    resetFields<RefreshSettings>(*this, kFields);
}

void RefreshSettings::Load(const ProfileStore& store)
{
    loadFields<RefreshSettings>(*this, store, kFields);
    notBefore = kNotBefore.Read(store);
    notAfter = kNotAfter.Read(store);
}

bool RefreshSettings::Save(ProfileStore& store) const
{
    const bool fieldsOk = saveFields<RefreshSettings>(*this, store, kFields);
    const bool beforeOk = kNotBefore.Write(store, notBefore);
    return kNotAfter.Write(store, notAfter) && fieldsOk && beforeOk;
}

} // namespace velkaro

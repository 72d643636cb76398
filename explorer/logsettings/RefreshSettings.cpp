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
    QTime read(const ProfileStore& store) const
    {
        const QTime stored(hour.read(store), minute.read(store), second.read(store));
        return stored.isValid() ? stored : defaultTime();
    }

    QTime defaultTime() const { return QTime(hour.defaultValue, minute.defaultValue, second.defaultValue); }

    bool write(ProfileStore& store, const QTime& time) const
    {
        const bool hourOk = hour.write(store, time.hour());
        const bool minuteOk = minute.write(store, time.minute());
        return second.write(store, time.second()) && hourOk && minuteOk;
    }
};

const TimeSetting kNotBefore{{"Refresh", "RBHH", 19}, {"Refresh", "RBMM", 0}, {"Refresh", "RBSS", 0}};
const TimeSetting kNotAfter{{"Refresh", "RAHH", 6}, {"Refresh", "RAMM", 0}, {"Refresh", "RASS", 0}};
} // namespace

RefreshSettings::RefreshSettings() : notBefore(kNotBefore.defaultTime()), notAfter(kNotAfter.defaultTime())
{
    resetFields<RefreshSettings>(*this, kFields);
}

void RefreshSettings::load(const ProfileStore& store)
{
    loadFields<RefreshSettings>(*this, store, kFields);
    notBefore = kNotBefore.read(store);
    notAfter = kNotAfter.read(store);
}

bool RefreshSettings::save(ProfileStore& store) const
{
    const bool fieldsOk = saveFields<RefreshSettings>(*this, store, kFields);
    const bool beforeOk = kNotBefore.write(store, notBefore);
    return kNotAfter.write(store, notAfter) && fieldsOk && beforeOk;
}

} // namespace velkaro

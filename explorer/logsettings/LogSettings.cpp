#include "explorer/logsettings/LogSettings.h"

#include "explorer/logsettings/SettingsFields.h"

#include <array>

namespace velkaro {

namespace {
const StringSetting kFile{"Log", "File", ""};

using F = IntField<LogSettings>;
// Store order, for reading and writing alike.
const std::array<F, 13> kFields{{
    {{"Log", "Append", 1}, &LogSettings::append},
    {{"Log", "Create", 1}, &LogSettings::enabled},
    {{"Log", "Trunc", 0}, &LogSettings::truncate},
    {{"Log", "LOBJ", 1}, &LogSettings::LOBJ},
    {{"Log", "LCOL", 1}, &LogSettings::LCOL},
    {{"Log", "LIND", 1}, &LogSettings::LIND},
    {{"Log", "LSOBJ", 0}, &LogSettings::LSOBJ},
    {{"Log", "LSCOL", 0}, &LogSettings::LSCOL},
    {{"Log", "LSIND", 0}, &LogSettings::LSIND},
    {{"Log", "LREF", 1}, &LogSettings::LREF},
    {{"Log", "LADD", 1}, &LogSettings::LADD},
    {{"Log", "LREM", 1}, &LogSettings::LREM},
    {{"Log", "LANY", 0}, &LogSettings::LANY},
}};
} // namespace

LogSettings::LogSettings() : fileName(DefaultFileName())
{
    resetFields<LogSettings>(*this, kFields);
}

void LogSettings::Load(const ProfileStore& store)
{
    fileName = kFile.Read(store);
    loadFields<LogSettings>(*this, store, kFields);
    if (fileName.isEmpty())
        fileName = DefaultFileName();
}

bool LogSettings::Save(ProfileStore& store) const
{
    const bool fileOk = kFile.Write(store, fileName);
    return saveFields<LogSettings>(*this, store, kFields) && fileOk;
}

QString LogSettings::DefaultFileName()
{
    return QStringLiteral("Velkaro");
}

} // namespace velkaro

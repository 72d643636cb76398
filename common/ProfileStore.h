#pragma once

#include <QString>
#include <memory>

class QSettings;

namespace velkaro {

// The four profile operations over the per-user settings store
// ($XDG_CONFIG_HOME/Halvetic/<application>.conf). A section is a group; a missing
// value reads as its default. The file is kept readable by its owner only. A file that cannot be
// parsed would refuse every later save: it is moved aside under a dated name and the store starts
// empty, from the defaults.
class ProfileStore final
{
public:
    explicit ProfileStore(const QString& application);
    ~ProfileStore();
    ProfileStore(const ProfileStore&) = delete;
    ProfileStore& operator=(const ProfileStore&) = delete;

    int ReadInt(const QString& section, const QString& name, int defaultValue) const;
    QString ReadString(const QString& section, const QString& name, const QString& defaultValue) const;
    // Both writes return false when the store could not be written.
    bool WriteInt(const QString& section, const QString& name, int value);
    bool WriteString(const QString& section, const QString& name, const QString& value);

    QString FileName() const;
    // Where a damaged file was moved at construction; empty when the file was sound.
    QString DamagedFileMovedTo() const { return m_damagedMovedTo; }
    // What the user is told about it; empty when nothing was moved.
    QString DamagedFileMessage() const;

private:
    bool Commit();
    void MoveAsideWhenDamaged(const QString& application);

    std::unique_ptr<QSettings> m_settings;
    QString m_damagedMovedTo;
};

// A setting declared once, with its section, name and default, next to the code that uses it.
struct IntSetting
{
    const char* section;
    const char* name;
    int defaultValue;

    int Read(const ProfileStore& store) const { return store.ReadInt(section, name, defaultValue); }
    bool Write(ProfileStore& store, int value) const { return store.WriteInt(section, name, value); }
};

struct StringSetting
{
    const char* section;
    const char* name;
    const char* defaultValue;

    QString Read(const ProfileStore& store) const
    {
        return store.ReadString(section, name, QString::fromUtf8(defaultValue));
    }
    bool Write(ProfileStore& store, const QString& value) const
    {
        return store.WriteString(section, name, value);
    }
};

} // namespace velkaro

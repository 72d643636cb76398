#include "common/ProfileStore.h"

#include <QFile>
#include <QSettings>

namespace velkaro {

namespace {
const char* const kOrganization = "Halvetic";
}

ProfileStore::ProfileStore(const QString& application)
    : m_settings(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                             QString::fromLatin1(kOrganization), application))
{}

ProfileStore::~ProfileStore() = default;

int ProfileStore::ReadInt(const QString& section, const QString& name, int defaultValue) const
{
    const QVariant value = m_settings->value(section + QLatin1Char('/') + name);
    bool ok = false;
    const int number = value.toInt(&ok);
    return value.isValid() && ok ? number : defaultValue;
}

QString ProfileStore::ReadString(const QString& section, const QString& name,
                                 const QString& defaultValue) const
{
    const QVariant value = m_settings->value(section + QLatin1Char('/') + name);
    return value.isValid() ? value.toString() : defaultValue;
}

bool ProfileStore::WriteInt(const QString& section, const QString& name, int value)
{
    m_settings->setValue(section + QLatin1Char('/') + name, value);
    return Commit();
}

bool ProfileStore::WriteString(const QString& section, const QString& name, const QString& value)
{
    m_settings->setValue(section + QLatin1Char('/') + name, value);
    return Commit();
}

QString ProfileStore::FileName() const
{
    return m_settings->fileName();
}

bool ProfileStore::Commit()
{
    m_settings->sync();
    // The store may hold connect strings: keep it private to its owner.
    QFile::setPermissions(m_settings->fileName(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return m_settings->status() == QSettings::NoError;
}

} // namespace velkaro

#include "common/ProfileStore.h"

#include <QDateTime>
#include <QFile>
#include <QSettings>

namespace velkaro {

namespace {
const char* const kOrganization = "Halvetic";

std::unique_ptr<QSettings> openSettings(const QString& application)
{
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QString::fromLatin1(kOrganization), application);
}

// Velkaro.conf -> Velkaro.conf.damaged-20260304-120000, with a counter when that is taken.
QString freeDatedName(const QString& fileName)
{
    const QString base = fileName + QStringLiteral(".damaged-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString candidate = base;
    for (int n = 2; QFile::exists(candidate); ++n)
        candidate = base + QLatin1Char('-') + QString::number(n);
    return candidate;
}
} // namespace

ProfileStore::ProfileStore(const QString& application) : m_settings(openSettings(application))
{
    MoveAsideWhenDamaged(application);
}

void ProfileStore::MoveAsideWhenDamaged(const QString& application)
{
    // The file is parsed on first use; status() tells only after that.
    m_settings->contains(QStringLiteral("Settings/Width"));
    if (m_settings->status() != QSettings::FormatError)
        return;
    const QString fileName = m_settings->fileName();
    const QString movedTo = freeDatedName(fileName);
    m_settings.reset();
    if (!QFile::rename(fileName, movedTo)) {
        // Left in place, the file keeps refusing saves; the caller still hears of it.
        m_settings = openSettings(application);
        m_damagedMovedTo = fileName;
        return;
    }
    m_settings = openSettings(application);
    m_damagedMovedTo = movedTo;
}

QString ProfileStore::DamagedFileMessage() const
{
    if (m_damagedMovedTo.isEmpty())
        return QString();
    if (m_damagedMovedTo == FileName())
        return QStringLiteral("The settings file %1 cannot be read and could not be moved aside. The default "
                              "settings are used, and settings cannot be saved.")
            .arg(FileName());
    return QStringLiteral("The settings file %1 could not be read. It has been moved to %2, and the default "
                          "settings are used.")
        .arg(FileName(), m_damagedMovedTo);
}

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

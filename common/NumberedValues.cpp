#include "common/NumberedValues.h"

#include "common/ProfileStore.h"

namespace velkaro {

QStringList NumberedValues::Read(const ProfileStore& store, const QString& section, int limit)
{
    QStringList values;
    for (int i = 0; limit < 0 || i < limit; ++i) {
        const QString value = store.ReadString(section, QString::number(i), QString());
        if (value.isEmpty())
            return values;
        values.append(value);
    }
    return values;
}

bool NumberedValues::Write(ProfileStore& store, const QString& section, const QStringList& values)
{
    bool written = true;
    int i = 0;
    for (const QString& value : values) {
        if (!value.isEmpty())
            written = store.WriteString(section, QString::number(i++), value) && written;
    }
    return store.WriteString(section, QString::number(i), QString()) && written;
}

} // namespace velkaro

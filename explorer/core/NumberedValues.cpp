#include "explorer/core/NumberedValues.h"

#include "common/ProfileStore.h"

namespace velkaro {

QStringList NumberedValues::read(const ProfileStore& store, const QString& section)
{
    QStringList values;
    for (int i = 0;; ++i) {
        const QString value = store.readString(section, QString::number(i), QString());
        if (value.isEmpty())
            return values;
        values.append(value);
    }
}

bool NumberedValues::write(ProfileStore& store, const QString& section, const QStringList& values)
{
    bool written = true;
    int i = 0;
    for (const QString& value : values) {
        if (!value.isEmpty())
            written = store.writeString(section, QString::number(i++), value) && written;
    }
    return store.writeString(section, QString::number(i), QString()) && written;
}

} // namespace velkaro

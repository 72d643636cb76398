#include "explorer/core/RecentDatabases.h"

#include "catalog/ConnectString.h"
#include "common/NumberedValues.h"

#include <QRegularExpression>

namespace velkaro {

namespace {
const QString kSection = QStringLiteral("Recent DB");
const QLatin1String kSeparator("/p");

// Values this program writes always hold "/p0/p" or "/p1/p" after the alias. Looking for that
// first keeps an alias that itself holds "/p" (a file path such as /home/pat/shop.db) whole.
const QRegularExpression kWrittenForm(QStringLiteral("/p([01])/p"));

// Splits at the first separator found at position 1 or later; otherwise head stays empty and the
// whole text is the rest.
bool splitAtSeparator(const QString& text, QString& head, QString& rest)
{
    const int separator = text.indexOf(kSeparator);
    if (separator <= 0) {
        head.clear();
        rest = text;
        return false;
    }
    head = text.left(separator);
    rest = text.mid(separator + kSeparator.size());
    return true;
}
} // namespace

QList<RecentDatabase> RecentDatabases::Read(const ProfileStore& store)
{
    QList<RecentDatabase> databases;
    for (const QString& value : NumberedValues::Read(store, kSection))
        databases.append(Parse(value));
    return databases;
}

RecentDatabase RecentDatabases::Parse(const QString& value)
{
    RecentDatabase database;
    if (const QRegularExpressionMatch match = kWrittenForm.match(value); match.hasMatch()) {
        database.alias = value.left(match.capturedStart());
        database.ownerOnly = match.captured(1) == QLatin1String("1");
        database.connectString = value.mid(match.capturedEnd());
        return database;
    }
    // Older or hand-written forms: "alias/pflag/pconnect", "alias/pconnect" or a bare connect string.
    QString rest;
    splitAtSeparator(value, database.alias, rest);
    QString ownerField;
    if (splitAtSeparator(rest, ownerField, database.connectString))
        database.ownerOnly = ownerField == QLatin1String("1");
    return database;
}

QString RecentDatabases::Format(const RecentDatabase& database)
{
    return database.alias + kSeparator + QString::number(database.ownerOnly ? 1 : 0) + kSeparator +
           ConnectString::WithoutPassword(database.connectString);
}

bool RecentDatabases::Write(ProfileStore& store, const QList<RecentDatabase>& databases)
{
    QStringList values;
    for (const RecentDatabase& database : databases)
        values.append(Format(database));
    return NumberedValues::Write(store, kSection, values);
}

} // namespace velkaro

#include "catalog/ConnectString.h"

#include <QList>
#include <QStringList>

namespace velkaro {

namespace {

struct Attribute
{
    QString keyword; // trimmed, as written
    QString value;   // braces removed
    QString raw;     // the whole attribute as written, without its ";"
};

// Scans one attribute starting at position; returns the position after its ";" (or the end).
// A brace opened right after "=" runs to its matching "}" ("}}" stands for one "}"); an unclosed
// brace takes the rest of the string, so a broken password can never leak into a neighbour.
qsizetype scanAttribute(const QString& text, qsizetype position, Attribute& attribute)
{
    const qsizetype equals = text.indexOf(QLatin1Char('='), position);
    const qsizetype semicolon = text.indexOf(QLatin1Char(';'), position);
    if (equals < 0 || (semicolon >= 0 && semicolon < equals)) {
        const qsizetype end = semicolon < 0 ? text.size() : semicolon;
        attribute.keyword = text.mid(position, end - position).trimmed();
        attribute.raw = text.mid(position, end - position);
        return end + 1;
    }
    attribute.keyword = text.mid(position, equals - position).trimmed();
    qsizetype cursor = equals + 1;
    while (cursor < text.size() && text.at(cursor) == QLatin1Char(' '))
        ++cursor;
    qsizetype end;
    if (cursor < text.size() && text.at(cursor) == QLatin1Char('{')) {
        QString value;
        end = cursor + 1;
        while (end < text.size()) {
            if (text.at(end) == QLatin1Char('}')) {
                if (end + 1 < text.size() && text.at(end + 1) == QLatin1Char('}')) {
                    value += QLatin1Char('}');
                    end += 2;
                    continue;
                }
                ++end;
                break;
            }
            value += text.at(end++);
        }
        attribute.value = value;
        const qsizetype next = text.indexOf(QLatin1Char(';'), end);
        end = next < 0 ? text.size() : next;
    } else {
        const qsizetype next = text.indexOf(QLatin1Char(';'), cursor);
        end = next < 0 ? text.size() : next;
        attribute.value = text.mid(cursor, end - cursor).trimmed();
    }
    attribute.raw = text.mid(position, end - position);
    return end + 1;
}

QList<Attribute> splitAttributes(const QString& text)
{
    QList<Attribute> attributes;
    qsizetype position = 0;
    while (position < text.size()) {
        Attribute attribute;
        position = scanAttribute(text, position, attribute);
        attributes.append(attribute);
    }
    return attributes;
}

bool isOneOf(const QString& keyword, std::initializer_list<const char*> names)
{
    for (const char* name : names) {
        if (keyword.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// Joins the attributes that keep is true for, keeping each as it was written.
template <typename Keep> QString joinKept(const QString& text, Keep keep)
{
    QStringList kept;
    for (const Attribute& attribute : splitAttributes(text)) {
        if (keep(attribute))
            kept.append(attribute.raw);
    }
    QString result = kept.join(QLatin1Char(';'));
    if (!result.isEmpty() && text.endsWith(QLatin1Char(';')))
        result += QLatin1Char(';');
    return result;
}

} // namespace

QString ConnectString::ExtractAttribute(const QString& text, const QString& key)
{
    const qsizetype found = text.indexOf(key);
    if (found < 0)
        return QString();
    return text.mid(found + key.size()).section(QLatin1Char(';'), 0, 0).toUpper();
}

std::optional<QString> ConnectString::AttributeValue(const QString& text, const QString& keyword)
{
    for (const Attribute& attribute : splitAttributes(text)) {
        if (attribute.keyword.compare(keyword, Qt::CaseInsensitive) == 0)
            return attribute.value;
    }
    return std::nullopt;
}

QString ConnectString::WithoutPassword(const QString& text)
{
    return joinKept(text, [](const Attribute& attribute) {
        return !isOneOf(attribute.keyword, {"PWD", "PASSWORD"});
    });
}

QString ConnectString::WithCredentials(const QString& text, const QString& user, const QString& password)
{
    QString result = joinKept(text, [](const Attribute& attribute) {
        return !attribute.keyword.isEmpty() && !isOneOf(attribute.keyword, {"UID", "PWD", "PASSWORD"});
    });
    if (!result.isEmpty() && !result.endsWith(QLatin1Char(';')))
        result += QLatin1Char(';');
    if (!user.isEmpty())
        result += QStringLiteral("UID=") + QuoteValue(user) + QLatin1Char(';');
    return result + QStringLiteral("PWD=") + QuoteValue(password);
}

QString ConnectString::WithAttribute(const QString& text, const QString& keyword, const QString& value)
{
    QString result = joinKept(text, [&keyword](const Attribute& attribute) {
        return !attribute.keyword.isEmpty() && attribute.keyword.compare(keyword, Qt::CaseInsensitive) != 0;
    });
    if (!result.isEmpty() && !result.endsWith(QLatin1Char(';')))
        result += QLatin1Char(';');
    return result + keyword + QLatin1Char('=') + QuoteValue(value);
}

QString ConnectString::FirstAttributeValue(const QString& text)
{
    const QString segment = text.section(QLatin1Char(';'), 0, 0);
    const qsizetype equals = segment.indexOf(QLatin1Char('='));
    return equals < 0 ? segment : segment.mid(equals + 1);
}

QString ConnectString::QuoteValue(const QString& value)
{
    static const QString special = QStringLiteral(";{} \t");
    for (const QChar c : value) {
        if (special.contains(c))
            return BracedValue(value);
    }
    return value;
}

QString ConnectString::BracedValue(const QString& value)
{
    QString escaped = value;
    escaped.replace(QLatin1Char('}'), QStringLiteral("}}"));
    return QLatin1Char('{') + escaped + QLatin1Char('}');
}

} // namespace velkaro

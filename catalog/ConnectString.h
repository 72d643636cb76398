#pragma once

#include <QString>
#include <optional>

namespace velkaro {

// Reading and editing ODBC connect strings: "KEY=value;KEY={value with ; or }} inside}".
class ConnectString final
{
public:
    ConnectString() = delete;

    // The text after the first occurrence of key (e.g. "UID="), upper-cased and cut at its first ";".
    // The search is case-sensitive and also matches the end of a longer keyword ("FILEDSN=").
    static QString ExtractAttribute(const QString& text, const QString& key);

    // The value of the attribute named keyword (letter case and surrounding blanks ignored), braces
    // removed; nullopt when the string has no such attribute.
    static std::optional<QString> AttributeValue(const QString& text, const QString& keyword);

    // The string without its PWD and PASSWORD attributes, so that it can be saved or logged.
    static QString WithoutPassword(const QString& text);

    // The string with its user and password attributes replaced by UID=user (left out when user is
    // empty) and PWD=password.
    static QString WithCredentials(const QString& text, const QString& user, const QString& password);

    // The string with the attribute named keyword set to value: every attribute of that name
    // (letter case ignored) is dropped and one keyword=value is added at the end.
    static QString WithAttribute(const QString& text, const QString& keyword, const QString& value);

    // The first attribute's value: the text up to the first ";", after its first "=".
    static QString FirstAttributeValue(const QString& text);

    // A value as it must be written into a connect string: braced when it holds ; { } or blanks.
    static QString QuoteValue(const QString& value);
    // A value always in braces, as DRIVER={name} is written.
    static QString BracedValue(const QString& value);
};

} // namespace velkaro

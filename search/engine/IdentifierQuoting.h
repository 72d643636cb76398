#pragma once

#include <QSet>
#include <QString>
#include <sql.h>

namespace velkaro {

// How the connected DBMS wants names written in a statement: its quote character, how it folds
// unquoted names, and whether a qualifier and an owner may stand before an object name.
class IdentifierQuoting final
{
public:
    enum class Folding
    {
        None,  // unquoted names keep their case
        Lower, // unquoted names are folded to lower case
        Upper
    };

    struct Traits
    {
        QString quote = QStringLiteral("\"");
        Folding folding = Folding::None;
        bool qualifierInStatements = false;
        QString qualifierSeparator = QStringLiteral(".");
        bool ownerInStatements = true;
        QSet<QString> keywords; // the DBMS's reserved words beyond the ODBC list, upper case
    };

    IdentifierQuoting() = default;
    explicit IdentifierQuoting(Traits traits);
    // Asks the driver; a driver without a quote character gets the backtick.
    static IdentifierQuoting FromConnection(SQLHDBC hdbc);

    const Traits& GetTraits() const { return m_traits; }

    // Between quote characters, a quote character inside doubled.
    QString Quoted(const QString& name) const;
    // True when the name cannot stand unquoted: anything but letters, digits and "_" (or a
    // leading digit), a reserved word of ODBC or of the DBMS, or a letter the DBMS would fold.
    bool NeedsQuotes(const QString& name) const;
    static bool IsReservedWord(const QString& name);
    // ASCII letters, digits and "_" only: unquoted, such a name cannot change a statement.
    static bool IsWordOnly(const QString& name);

private:
    Traits m_traits;
};

} // namespace velkaro

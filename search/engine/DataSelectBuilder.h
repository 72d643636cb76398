#pragma once

#include "search/engine/IdentifierQuoting.h"
#include "search/engine/SearchParameters.h"

#include <QString>

namespace velkaro {

struct SearchObjectRecord;

struct DataSelect
{
    QString statement;
    QString columnList; // empty when the object has no column to select
    QString objectName; // as the statement names it
};

// The one SELECT per object that the data search reads: its kept columns in catalog order, the
// object named as the catalog listed it (with owner and qualifier where the DBMS takes them).
class DataSelectBuilder final
{
public:
    DataSelectBuilder(IdentifierQuoting quoting, SpecialNameMode mode);

    DataSelect BuildDataSelect(const SearchObjectRecord& object) const;

    QString ColumnName(const QString& name) const;
    // The object with its qualifier and owner.
    QString ObjectName(const SearchObjectRecord& object) const;

    const IdentifierQuoting& Quoting() const { return m_quoting; }

private:
    QString ObjectPart(const QString& name) const;

    IdentifierQuoting m_quoting;
    SpecialNameMode m_mode;
};

} // namespace velkaro

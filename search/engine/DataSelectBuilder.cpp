#include "search/engine/DataSelectBuilder.h"

#include "catalog/SearchRecords.h"

#include <QStringList>
#include <utility>

namespace velkaro {

DataSelectBuilder::DataSelectBuilder(IdentifierQuoting quoting, SpecialNameMode mode)
    : m_quoting(std::move(quoting)), m_mode(mode)
{}

DataSelect DataSelectBuilder::BuildDataSelect(const SearchObjectRecord& object) const
{
    QStringList columns;
    columns.reserve(qsizetype(object.searchColumns.size()));
    for (const SearchColumnRecord& column : object.searchColumns)
        columns.append(ColumnName(column.name));
    DataSelect select;
    select.columnList = columns.join(QStringLiteral(" , "));
    select.objectName = ObjectName(object);
    if (!select.columnList.isEmpty())
        select.statement =
            QStringLiteral("select ") + select.columnList + QStringLiteral(" from ") + select.objectName;
    return select;
}

QString DataSelectBuilder::ColumnName(const QString& name) const
{
    switch (m_mode) {
    case SpecialNameMode::AllRegular:
        return IdentifierQuoting::IsWordOnly(name) ? name : m_quoting.Quoted(name);
    case SpecialNameMode::AllSpecial:
        return m_quoting.Quoted(name);
    case SpecialNameMode::AutoDetect:
        break;
    }
    return m_quoting.NeedsQuotes(name) ? m_quoting.Quoted(name) : name;
}

QString DataSelectBuilder::ObjectName(const SearchObjectRecord& object) const
{
    const IdentifierQuoting::Traits& traits = m_quoting.GetTraits();
    QString text;
    if (traits.qualifierInStatements && !object.qualifier.isEmpty())
        text = ObjectPart(object.qualifier) + traits.qualifierSeparator;
    if (traits.ownerInStatements && !object.owner.isEmpty())
        text += ObjectPart(object.owner) + QLatin1Char('.');
    return text + ObjectPart(object.name);
}

// Object names follow the user's choice only as far as it is safe: treating all names as
// special does not quote a plain object name, treating them as regular still quotes one that is
// more than letters, digits and "_".
QString DataSelectBuilder::ObjectPart(const QString& name) const
{
    const bool special = m_mode == SpecialNameMode::AllRegular ? !IdentifierQuoting::IsWordOnly(name)
                                                               : m_quoting.NeedsQuotes(name);
    return special ? m_quoting.Quoted(name) : name;
}

} // namespace velkaro

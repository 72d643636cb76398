#include "explorer/propertydata/KeyListQuery.h"

#include "explorer/propertydata/PropertyTexts.h"

namespace velkaro {

QStringList KeyListQuery::Headers() const
{
    switch (m_kind) {
    case Kind::PrimaryKeys:
        return {QStringLiteral("Sequence"), QStringLiteral("Column Name"),
                QStringLiteral("Primary Key Name")};
    case Kind::ReferencesToOthers:
        return {QStringLiteral("Foreign Key"), QStringLiteral("Primary Table"),
                QStringLiteral("Primary Column")};
    case Kind::ReferencesFromOthers:
        return {QStringLiteral("Foreign Table"), QStringLiteral("Foreign Key"),
                QStringLiteral("Primary Key")};
    }
    return {};
}

std::array<int, 3> KeyListQuery::Widths(int clientWidth) const
{
    if (m_kind == Kind::PrimaryKeys)
        return {clientWidth / 5, 2 * clientWidth / 5, 2 * clientWidth / 5};
    return {clientWidth / 3, clientWidth / 3, clientWidth / 3};
}

KeyListQuery::Result KeyListQuery::Run(const DatabaseEntry& entry, const ObjectName& table) const
{
    Result result;
    if (entry.Busy()) {
        result.databaseInUse = true;
        result.rows.push_back(MessageRow(PropertyTexts::kDatabaseInUse));
        return result;
    }
    result.rows = Rows(*entry.session, table, result.failure);
    return result;
}

std::vector<KeyListQuery::Row> KeyListQuery::Rows(CDbSession& session, const ObjectName& table,
                                                  QString& failure) const
{
    std::vector<Row> rows;
    if (m_kind == Kind::PrimaryKeys) {
        for (const PrimaryKeyRecord& key : session.LoadPrimaryKeys(table, &failure))
            rows.push_back({QString::number(key.keySeq), key.columnName, key.keyName});
        return rows;
    }
    const bool toOthers = m_kind == Kind::ReferencesToOthers;
    for (const ReferenceRecord& reference : session.LoadReferences(table, toOthers, &failure)) {
        if (toOthers)
            rows.push_back({reference.foreignColumn, reference.otherTable, reference.primaryColumn});
        else
            rows.push_back({reference.otherTable, reference.foreignColumn, reference.primaryColumn});
    }
    return rows;
}

} // namespace velkaro

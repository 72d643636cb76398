#include "explorer/propertydata/StatisticsQuery.h"

#include "explorer/propertydata/PropertyTexts.h"

namespace velkaro {

StatisticsQuery::Texts StatisticsQuery::TableBefore(bool calculate)
{
    const QString& text = calculate ? PropertyTexts::kPleaseWait : PropertyTexts::kNotCalculated;
    return {text, text, {}, {}};
}

StatisticsQuery::Texts StatisticsQuery::Table(const DatabaseEntry& entry, const ObjectName& table)
{
    if (entry.Busy())
        return {PropertyTexts::kDatabaseInUse, PropertyTexts::kDatabaseInUse, {}, {}};
    Texts texts;
    const TableStatistics statistics =
        entry.session->LoadTableStatistics(table, &texts.failure).value_or(TableStatistics{});
    texts.first = PropertyTexts::Statistic(statistics.cardinality);
    texts.pages = PropertyTexts::Statistic(statistics.pages);
    return texts;
}

StatisticsQuery::Texts StatisticsQuery::Index(const DatabaseEntry& entry, const ObjectName& table,
                                              const QString& indexName)
{
    Texts texts;
    const IndexStatistics statistics = entry.session->LoadIndexStatistics(table, indexName, &texts.failure);
    texts.first = PropertyTexts::Statistic(statistics.cardinality);
    texts.pages = PropertyTexts::Statistic(statistics.pages);
    texts.filter = statistics.filter;
    return texts;
}

} // namespace velkaro

#include "explorer/propertydata/DatabaseCounters.h"

namespace velkaro {

namespace {

DatabaseCounters::Counter counterOfType(const QString& type)
{
    if (type == QLatin1String("SYSTEM TABLE"))
        return DatabaseCounters::SystemTables;
    if (type == QLatin1String("SEQUENCE"))
        return DatabaseCounters::Sequences;
    if (type == QLatin1String("SYNONYM"))
        return DatabaseCounters::Synonyms;
    if (type == QLatin1String("TABLE"))
        return DatabaseCounters::Tables;
    if (type == QLatin1String("VIEW"))
        return DatabaseCounters::Views;
    return DatabaseCounters::Other;
}

} // namespace

std::uint64_t DatabaseCounters::Begin()
{
    const std::uint64_t run = m_run.fetch_add(1) + 1;
    for (auto& value : m_values)
        value.store(0);
    m_done.store(false);
    return run;
}

void DatabaseCounters::Run(std::uint64_t run, const ObjectSnapshot& objects)
{
    for (const auto& object : objects) {
        if (m_run.load() != run)
            return;
        Add(counterOfType(object->Type()), 1);
        if (const auto columns = object->Columns())
            Add(Columns, static_cast<int>(columns->columns.size()));
        if (const auto indexes = object->Indexes()) {
            for (const IndexRecord& index : indexes->indexes) {
                Add(Indexes, 1);
                Add(IndexColumns, static_cast<int>(index.columnNames.size()));
            }
        }
    }
    if (m_run.load() == run)
        m_done.store(true);
}

} // namespace velkaro

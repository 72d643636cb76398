#pragma once

#include "explorer/propertydata/ObjectLookup.h"

#include <array>
#include <atomic>
#include <cstdint>

namespace velkaro {

// The object counts the database "General" page shows while a thread counts them. Each counter
// is written by the counting thread and read by the page's timer; the done flag is set after the
// last counter write.
class DatabaseCounters final
{
public:
    enum Counter
    {
        SystemTables,
        Sequences,
        Synonyms,
        Tables,
        Views,
        Columns,
        IndexColumns,
        Indexes,
        Other,
        Count
    };

    // Zeroes every counter and the done flag; returns the run a counting thread passes to Run.
    std::uint64_t Begin();
    // Counts objects into the counters and sets the done flag; ends early, writing nothing more,
    // once a later Begin has started another run.
    void Run(std::uint64_t run, const ObjectSnapshot& objects);

    int Value(Counter counter) const { return m_values[counter].load(); }
    bool Done() const { return m_done.load(); }

private:
    void Add(Counter counter, int amount) { m_values[counter].fetch_add(amount); }

    std::array<std::atomic<int>, Count> m_values{};
    std::atomic<bool> m_done{false};
    std::atomic<std::uint64_t> m_run{0};
};

} // namespace velkaro

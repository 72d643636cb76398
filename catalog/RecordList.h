#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace velkaro {

// A list of catalog records that one thread rebuilds while others read it.
//
// Rule for readers: take snapshot() (a copy of the pointers, under the lock) and walk that; never
// keep a reference into the list itself. Records are shared, so clearing the list for a refresh
// never frees a record a reader still holds. Record must have a name, as a member or a function.
template <class Record> class RecordList final
{
public:
    using Pointer = std::shared_ptr<Record>;

    RecordList() = default;
    RecordList(const RecordList&) = delete;
    RecordList& operator=(const RecordList&) = delete;

    std::vector<Pointer> Snapshot() const
    {
        std::lock_guard lock(m_mutex);
        return m_records;
    }

    void Append(Pointer record)
    {
        std::lock_guard lock(m_mutex);
        m_records.push_back(std::move(record));
    }

    void Clear()
    {
        std::vector<Pointer> released;
        {
            std::lock_guard lock(m_mutex);
            released.swap(m_records);
        }
        // The records that no reader holds are freed here, outside the lock.
    }

    int size() const
    {
        std::lock_guard lock(m_mutex);
        return static_cast<int>(m_records.size());
    }

    // The first record whose name equals name exactly (case-sensitive), or null.
    Pointer Find(const QString& name) const
    {
        std::lock_guard lock(m_mutex);
        for (const Pointer& record : m_records) {
            if (NameOf(*record) == name)
                return record;
        }
        return nullptr;
    }

private:
    // Catalog objects name themselves through an accessor; plain search records hold a field.
    static const QString& NameOf(const Record& record)
    {
        if constexpr (requires { record.Name(); })
            return record.Name();
        else
            return record.name;
    }

    mutable std::mutex m_mutex;
    std::vector<Pointer> m_records;
};

} // namespace velkaro

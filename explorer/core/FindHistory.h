#pragma once

#include "explorer/core/NodeTree.h"

#include <QString>
#include <QStringList>

namespace velkaro {

class ProfileStore;

// The find history (section "Find", values "0", "1", ...) and the find in progress.
class FindHistory final
{
public:
    static constexpr int kMaximumStrings = 10;

    void load(const ProfileStore& store); // "0","1",... up to the first empty
    // Non-empty strings renumbered from "0", then one empty value; false when the store failed.
    bool save(ProfileStore& store) const;
    QStringList& strings() { return m_strings; } // most recent first
    const QStringList& strings() const { return m_strings; }
    // A new search string: an identical one leaves, it goes to the head, the oldest beyond ten drops.
    void remember(const QString& text);

    QString searchString;      // the find in progress ("" = none)
    NodeId searchDatabase = 0; // the database node the find is currently searching

private:
    QStringList m_strings;
};

} // namespace velkaro

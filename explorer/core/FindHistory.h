#pragma once

#include "common/RecentStrings.h"
#include "explorer/core/NodeTree.h"

#include <QString>
#include <QStringList>

namespace velkaro {

class ProfileStore;

// The find history (section "Find", values "0", "1", ...) and the find in progress.
class FindHistory final
{
public:
    void load(const ProfileStore& store) { m_strings.load(store); }
    bool save(ProfileStore& store) const { return m_strings.save(store); }
    QStringList& strings() { return m_strings.strings(); } // most recent first
    const QStringList& strings() const { return m_strings.strings(); }
    void remember(const QString& text) { m_strings.remember(text); }

    QString searchString;      // the find in progress ("" = none)
    NodeId searchDatabase = 0; // the database node the find is currently searching

private:
    RecentStrings m_strings{QStringLiteral("Find")};
};

} // namespace velkaro

#pragma once

#include "explorer/core/NodeTree.h"

#include <QString>
#include <QStringList>

namespace velkaro {

// The location bar's paths, most recent first, each at most once (letter case ignored).
class LocationList final
{
public:
    // Removes the same path (letter case ignored) and inserts it at position 0.
    void Record(const QString& path);
    const QStringList& Paths() const { return m_paths; }

    // "Velkaro" for the root; database::owner.object::index for the others (see ObjectNodes); "COULD NOT BE
    // DETERMINED" when the chain of parents ends early (or the node is missing).
    static QString BuildLocationPath(const NodeTree& tree, NodeId node);

    // The components a location path names. An empty object (or index) means the path stops before it.
    struct Target
    {
        QString database, object, index;
        bool root = false;
    };
    // Each component is the text before the first "::" when that occurs at position 1 or later,
    // otherwise the whole rest of the path.
    static Target SplitLocationPath(const QString& path);

private:
    QStringList m_paths;
};

} // namespace velkaro

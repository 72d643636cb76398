#include "explorer/core/LocationList.h"

#include "explorer/core/ObjectNodes.h"

namespace velkaro {

namespace {
const QLatin1String kRootPath("Velkaro");
const QLatin1String kSeparator("::");
const QLatin1String kUndetermined("COULD NOT BE DETERMINED");

// Cuts the next component off path: the text before the first "::" when that is not at the very
// start, otherwise all of it.
QString takeComponent(QString& path)
{
    const int separator = path.indexOf(kSeparator);
    if (separator >= 1) {
        const QString component = path.left(separator);
        path.remove(0, separator + kSeparator.size());
        return component;
    }
    return std::exchange(path, QString());
}
} // namespace

void LocationList::Record(const QString& path)
{
    m_paths.removeIf([&](const QString& known) { return known.compare(path, Qt::CaseInsensitive) == 0; });
    m_paths.prepend(path);
}

QString LocationList::BuildLocationPath(const NodeTree& tree, NodeId node)
{
    const int level = tree.NodeLevel(node);
    if (level < 0)
        return kUndetermined;
    if (level == 0)
        return kRootPath;
    QStringList texts;
    for (int current = level; current >= 1; --current) {
        if (tree.NodeLevel(node) != current)
            return kUndetermined;
        // An object is written with its owner: the tree's text may be the bare name.
        texts.prepend(current == 2 ? ObjectNodes::LocationText(tree, node) : tree.NodeText(node));
        node = tree.Parent(node);
    }
    return texts.join(kSeparator);
}

LocationList::Target LocationList::SplitLocationPath(const QString& path)
{
    Target target;
    if (path == kRootPath) {
        target.root = true;
        return target;
    }
    QString rest = path;
    target.database = takeComponent(rest);
    if (!rest.isEmpty())
        target.object = takeComponent(rest);
    if (!rest.isEmpty())
        target.index = takeComponent(rest);
    return target;
}

} // namespace velkaro

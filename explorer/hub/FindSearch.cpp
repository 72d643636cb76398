#include "explorer/hub/FindSearch.h"

#include "catalog/CDbSession.h"
#include "common/UserPrompt.h"
#include "explorer/core/ObjectNodes.h"
#include "explorer/hub/HubRuntime.h"

#include <algorithm>

namespace velkaro {

FindSearch::FindSearch(HubRuntime& runtime, const DatabaseList& databases, UserPrompt& prompt)
    : m_runtime(runtime), m_databases(databases), m_prompt(prompt)
{}

void FindSearch::Start(const QString& text, const FindOptions& options, const QString& scope)
{
    m_text = text;
    m_upperText = text.toUpper();
    m_options = options;
    m_scope = scope;
    ResetFindPosition();
}

void FindSearch::ResetFindPosition(bool keepStart)
{
    Position fresh;
    if (keepStart) {
        fresh.start = m_position.start;
        fresh.startLevel = m_position.startLevel;
    }
    m_position = fresh;
}

std::optional<FindMatch> FindSearch::Run(bool continuing)
{
    if (m_text.isEmpty())
        return std::nullopt;
    const NodeTree& tree = m_runtime.tree;
    if (!continuing) {
        m_position.start = StartingNode();
        m_position.startLevel = tree.NodeLevel(m_position.start);
    }
    // A search that ran out of matches, or whose database was removed, finds nothing more.
    if (m_position.start == 0 || !tree.Exists(m_position.start))
        return std::nullopt;
    if (m_position.startLevel != 1)
        return SearchFromRoot(continuing);
    std::optional<FindMatch> match = SearchLogged(m_position.start);
    if (!match)
        m_position.start = 0;
    return match;
}

NodeId FindSearch::StartingNode()
{
    const NodeTree& tree = m_runtime.tree;
    const NodeId root = tree.Root();
    if (m_scope == tree.NodeText(root))
        return root;
    if (const NodeId database = tree.FindChildByText(root, m_scope))
        return database;
    m_prompt.ShowMessage(QStringLiteral("Cannot find starting place, starting from root."));
    return root;
}

std::optional<FindMatch> FindSearch::SearchFromRoot(bool continuing)
{
    const std::vector<NodeId> databases = m_runtime.tree.Children(m_runtime.tree.Root());
    auto next = databases.begin();
    if (continuing)
        next = std::find(databases.begin(), databases.end(), m_position.database);
    if (continuing && m_position.database == 0)
        next = databases.end();
    for (; next != databases.end(); ++next) {
        if (std::optional<FindMatch> match = SearchLogged(*next))
            return match;
        ResetFindPosition(true);
    }
    return std::nullopt;
}

std::optional<FindMatch> FindSearch::SearchLogged(NodeId databaseNode)
{
    const LogSettings& log = m_runtime.logSettings;
    if (log.LSOBJ.load() != 0 || log.LSCOL.load() != 0 || log.LSIND.load() != 0)
        m_runtime.log.WriteLog(m_runtime.tree.NodeText(databaseNode) + QStringLiteral(": Searching for '") +
                               m_text + QStringLiteral("'."));
    return SearchDatabase(databaseNode);
}

std::optional<FindMatch> FindSearch::SearchDatabase(NodeId databaseNode)
{
    const DatabaseEntryPtr entry = m_databases.FindEntryByNode(databaseNode);
    if (!entry) {
        m_prompt.ShowMessage(
            QStringLiteral("Could not retrieve database information, please restart Velkaro"));
        return std::nullopt;
    }
    Position& at = m_position;
    if (at.database != databaseNode) {
        ResetFindPosition(true);
        at.database = databaseNode;
    }
    if (!at.aliasDone) {
        at.aliasDone = true;
        if (m_options.databaseNames && Matches(entry->alias))
            return FindMatch{FindMatch::Kind::Database, databaseNode, {}};
    }
    // A copy of the object pointers only; the records themselves are shared.
    const std::vector<std::shared_ptr<ObjectRecord>> objects = entry->session->Objects();
    for (; at.object < objects.size(); ++at.object) {
        if (std::optional<FindMatch> match = NextInObject(*objects[at.object], databaseNode)) {
            // A node missing from the tree counts as no match in this database.
            if (match->node == 0)
                return std::nullopt;
            return match;
        }
        at.stage = Stage::ObjectName;
        at.item = 0;
        at.indexColumn = -1;
    }
    return std::nullopt;
}

std::optional<FindMatch> FindSearch::NextInObject(const ObjectRecord& object, NodeId databaseNode)
{
    Position& at = m_position;
    if (at.stage == Stage::ObjectName) {
        at.stage = Stage::Columns;
        at.item = 0;
        if (m_options.objectNames && Matches(object.Name()))
            return Resolve(FindMatch::Kind::Object, object, databaseNode, {}, {});
    }
    if (at.stage == Stage::Columns) {
        const std::shared_ptr<const ColumnList> columns = m_options.columnNames ? object.Columns() : nullptr;
        while (columns && at.item < columns->columns.size()) {
            const QString& name = columns->columns[at.item++].name;
            if (Matches(name))
                return Resolve(FindMatch::Kind::Column, object, databaseNode, {}, name);
        }
        at.stage = Stage::Indexes;
        at.item = 0;
        at.indexColumn = -1;
    }
    return NextInIndexes(object, databaseNode);
}

std::optional<FindMatch> FindSearch::NextInIndexes(const ObjectRecord& object, NodeId databaseNode)
{
    Position& at = m_position;
    const std::shared_ptr<const IndexList> indexes = object.Indexes();
    if (!indexes)
        return std::nullopt;
    for (; at.item < indexes->indexes.size(); ++at.item, at.indexColumn = -1) {
        const IndexRecord& index = indexes->indexes[at.item];
        if (at.indexColumn < 0) {
            at.indexColumn = 0;
            if (m_options.indexNames && Matches(index.name))
                return Resolve(FindMatch::Kind::Index, object, databaseNode, index.name, {});
        }
        while (m_options.indexColumnNames && at.indexColumn < index.columnNames.size()) {
            const QString& name = index.columnNames.at(at.indexColumn++);
            if (Matches(name))
                return Resolve(FindMatch::Kind::IndexColumn, object, databaseNode, index.name, name);
        }
    }
    return std::nullopt;
}

// The match with its node; node 0 (the user told) when the tree does not hold it.
std::optional<FindMatch> FindSearch::Resolve(FindMatch::Kind kind, const ObjectRecord& object,
                                             NodeId databaseNode, const QString& index, const QString& row)
{
    const NodeTree& tree = m_runtime.tree;
    const NodeId objectNode = ObjectNodes::NodeOf(tree, databaseNode, object);
    if (objectNode == 0) {
        m_prompt.ShowMessage(
            kind == FindMatch::Kind::Column
                ? QStringLiteral("Could not retrieve column information, please restart Velkaro")
                : QStringLiteral("Could not retrieve table information, please restart Velkaro"));
        return FindMatch{kind, 0, {}};
    }
    if (kind != FindMatch::Kind::Index && kind != FindMatch::Kind::IndexColumn)
        return FindMatch{kind, objectNode, row};
    const NodeId indexNode = tree.FindChildByText(objectNode, index);
    if (indexNode == 0)
        m_prompt.ShowMessage(QStringLiteral("Could not retrieve index information, please restart Velkaro"));
    return FindMatch{kind, indexNode, row};
}

// Both sides in upper case: the name equals the search string (whole word) or contains it.
bool FindSearch::Matches(const QString& name) const
{
    const QString upper = name.toUpper();
    return m_options.wholeWord ? upper == m_upperText : upper.contains(m_upperText);
}

} // namespace velkaro

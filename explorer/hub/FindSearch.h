#pragma once

#include "explorer/core/DatabaseList.h"
#include "explorer/core/FindOptions.h"
#include "explorer/core/NodeTree.h"

#include <QString>
#include <optional>

namespace velkaro {

struct HubRuntime;
class UserPrompt;

// Where a match is shown: the node to select and, for a column or an index column, the list row.
struct FindMatch
{
    enum class Kind
    {
        Database,
        Object,
        Column,
        Index,
        IndexColumn
    };
    Kind kind = Kind::Database;
    NodeId node = 0;
    QString row;

    bool SelectsRow() const { return kind == Kind::Column || kind == Kind::IndexColumn; }
};

// The find in progress and its walk over the loaded schema models: database alias, then per object
// its name, its columns, its indexes and their columns, database by database in tree order. Reads
// the models through their snapshots, so a worker rebuilding another database does not disturb it;
// asks nothing of any widget. Interface thread only.
class FindSearch final
{
public:
    FindSearch(HubRuntime& runtime, const DatabaseList& databases, UserPrompt& prompt);

    // A new search for text (as typed) with options over scope (the root's text or an alias).
    void Start(const QString& text, const FindOptions& options, const QString& scope);
    // The next match after the last one (continuing) or from the start; nothing when none is left.
    std::optional<FindMatch> Run(bool continuing);
    // The next match within databaseNode from the stored position.
    std::optional<FindMatch> SearchDatabase(NodeId databaseNode);
    // Forgets where the search is; keepStart leaves the node it started from.
    void ResetFindPosition(bool keepStart = false);

    const QString& SearchString() const { return m_text; }
    // A refresh of the searched database ends the search: the next Find Next asks again.
    void ClearSearchString() { m_text.clear(); }
    NodeId SearchedDatabase() const { return m_position.database; }

private:
    enum class Stage
    {
        ObjectName,
        Columns,
        Indexes
    };
    // Where the next name to compare is; indexColumn -1 is the index's own name.
    struct Position
    {
        NodeId start = 0;
        int startLevel = -1;
        NodeId database = 0;
        bool aliasDone = false;
        std::size_t object = 0;
        Stage stage = Stage::ObjectName;
        std::size_t item = 0;
        int indexColumn = -1;
    };

    NodeId StartingNode();
    std::optional<FindMatch> SearchFromRoot(bool continuing);
    std::optional<FindMatch> SearchLogged(NodeId databaseNode);
    std::optional<FindMatch> NextInObject(const ObjectRecord& object, NodeId databaseNode);
    std::optional<FindMatch> NextInIndexes(const ObjectRecord& object, NodeId databaseNode);
    std::optional<FindMatch> Resolve(FindMatch::Kind kind, const ObjectRecord& object, NodeId databaseNode,
                                     const QString& index, const QString& row);
    bool Matches(const QString& name) const;

    HubRuntime& m_runtime;
    const DatabaseList& m_databases;
    UserPrompt& m_prompt;
    QString m_text;
    QString m_upperText;
    FindOptions m_options;
    QString m_scope;
    Position m_position;
};

} // namespace velkaro

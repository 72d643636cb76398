#pragma once

#include "catalog/CatalogHost.h"
#include "catalog/ObjectRecord.h"
#include "catalog/RecordList.h"

#include <QByteArray>
#include <QString>

namespace velkaro {

class CatalogConnection;
class OdbcStatement;
struct CatalogSettings;
struct LoadJob;

// Rebuilds a database's object list from SQLTables: keeps the object types the user chose, adds a
// tree node per object and loads each one's columns and indexes unless that waits for access.
class ObjectListLoader final
{
public:
    ObjectListLoader(const CatalogConnection& connection, RecordList<ObjectRecord>& objects)
        : m_connection(connection), m_objects(objects)
    {}

    void Load(const LoadJob& job) const;

    // Whether settings keep objects of the type the driver reported.
    static bool Keeps(const CatalogSettings& settings, const QString& type);

private:
    enum class RowResult
    {
        Next,
        End // stopped, or the tree refused a node: the statement is dropped without a repaint
    };

    bool ReleasePrevious(const LoadJob& job) const;
    // The objects of one catalog (none given: all the driver lists).
    RowResult ListCatalog(const LoadJob& job, QByteArray catalog, QByteArray owner) const;
    RowResult TakeRow(const LoadJob& job, OdbcStatement& statement) const;
    RowResult LoadDetails(const LoadJob& job, CatalogNode node, ObjectRecord& record) const;

    const CatalogConnection& m_connection;
    RecordList<ObjectRecord>& m_objects;
};

} // namespace velkaro

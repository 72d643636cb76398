#pragma once

#include "catalog/SchemaRecords.h"
#include "common/ActivityLogSink.h"

#include <QString>

namespace velkaro {

// A tree node as the catalog sees it: an opaque handle that only the host interprets.
using CatalogNode = void*;

// The switches that steer retrieval and its log entries, as the host holds them.
struct CatalogSettings
{
    // Object types kept (OTAB, OSYS, OVIEW, OSYN, OSEQ, OOTHERS for any other type).
    bool otab = true;
    bool osys = true;
    bool oview = true;
    bool osyn = true;
    bool oseq = true;
    bool oothers = false;
    // Details retrieved (OCOL, OIND, OINDCOL) and RACOL: details wait until an object is accessed.
    bool ocol = true;
    bool oind = true;
    bool oindcol = true;
    bool racol = false;
    // Log categories: objects, columns, index columns loaded; LANY for skipped items and failures.
    bool lobj = true;
    bool lcol = true;
    bool lind = true;
    bool lany = false;
};

// What the catalog retrieval calls on the tree pane. All calls come from the worker thread that
// runs the retrieval; the implementation makes them safe for its widgets.
class CatalogHost : public ActivityLogSink
{
public:
    // Returns the new node, or null when the node could not be added. The node names its object
    // by qualifier, owner and name: two schemas may hold objects of one name.
    virtual CatalogNode InsertObjectNode(CatalogNode databaseNode, const ObjectName& object,
                                         const QString& type) = 0;
    virtual CatalogNode InsertIndexNode(CatalogNode objectNode, const QString& indexName) = 0;
    // Asks the tree to repaint at once.
    virtual void RepaintTree() = 0;
    // Set when the user stops the workers or the tree pane goes away.
    virtual bool TerminateRequested() const = 0;
    virtual CatalogSettings GetCatalogSettings() const = 0;
};

} // namespace velkaro

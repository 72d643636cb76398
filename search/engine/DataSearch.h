#pragma once

#include "catalog/FetchedRow.h"
#include "search/engine/DataSelectBuilder.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <sql.h>

namespace velkaro {

class RunContext;
struct RunObject;
struct SearchObjectRecord;

// The data phase: one SELECT per object over its kept columns, each row read as text and
// written to the report when it holds an instance, under a heading per object.
class DataSearch final
{
public:
    // Header cells wider than this are cut: long types report widths in the millions.
    static constexpr int kMaxHeaderWidth = 100;

    DataSearch(RunContext& run, DataSelectBuilder builder);

    void RunDataSearch();

    // Told of each object that had to be read in one statement although the driver holds a whole
    // result in memory, because the object has no key to read it by in chunks.
    void setReadWholeObserver(std::function<void(const RunObject&)> observer)
    {
        m_readWholeObserver = std::move(observer);
    }

    // The column header line; sets each column's current width.
    static QString HeaderLine(SearchObjectRecord& object);
    // One row's values padded to the current widths; a longer value widens its column for the
    // later rows of the object, up to kMaxHeaderWidth. Values are never cut.
    static QString RowLine(SearchObjectRecord& object, const QStringList& values);

private:
    void searchObject(const RunObject& object);
    bool searchInKeyChunks(const RunObject& object, const DataSelect& select);
    void readRows(const RunObject& object, const std::function<bool(FetchedRow&)>& fetchRow);
    void reportFailure(const RunObject& object, const QString& error);
    void writeHeading(const RunObject& object);

    RunContext& m_run;
    DataSelectBuilder m_builder;
    std::function<void(const RunObject&)> m_readWholeObserver;
    // One buffer for every row of the phase, and one for the text of those that need decoding.
    FetchedRow m_row;
    QString m_rowText;
};

} // namespace velkaro

#pragma once

#include <QString>
#include <atomic>
#include <vector>

namespace velkaro {

// One column of an object as the search program's column phase keeps it for the data search.
struct SearchColumnRecord
{
    QString name;
    QString typeText;
    QString dataStatus = QStringLiteral("Not Found");
    int displayWidth = 0;
    int currentWidth = 0;
    bool textual = false;
    // The catalog's DATA_TYPE and TYPE_NAME: what the data search may ask the server about the values.
    int sqlType = 0;
    QString dbmsType;
};

// One catalog object of the search program. The identity is set before the record is published and
// never changes. The flags are set by the interface thread (excluded) and the run's worker
// (processed, runMark), hence atomic. searchColumns belongs to the run's worker alone.
struct SearchObjectRecord
{
    QString name;
    QString type; // upper case
    QString owner;
    QString qualifier;
    std::atomic<int> processed{0};
    std::atomic<int> excluded{0};
    std::atomic<int> runMark{0};
    std::vector<SearchColumnRecord> searchColumns;

    // What holds the object: its owner (schema), or its qualifier where the DBMS has no owners
    // and a database is a catalog.
    const QString& Container() const { return owner.isEmpty() ? qualifier : owner; }
};

} // namespace velkaro

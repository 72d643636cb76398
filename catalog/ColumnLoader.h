#pragma once

#include "catalog/CatalogHost.h"

#include <QString>

namespace velkaro {

class CatalogConnection;
class ObjectRecord;
struct ColumnList;
struct LoadJob;

// Rebuilds one object's columns from SQLColumns.
class ColumnLoader final
{
public:
    explicit ColumnLoader(const CatalogConnection& connection) : m_connection(connection) {}

    void Load(const LoadJob& job, CatalogNode objectNode, ObjectRecord& record) const;

    // The texts a column row becomes; a NULL number arrives as 0.
    static QString NullabilityText(int nullable);
    static QString SizeText(const QString& typeName, int precision, int scale);
    static QString RadixText(int radix);

private:
    enum class Outcome
    {
        Finished,
        Failed,
        Stopped // the columns read so far are kept
    };
    Outcome FetchColumns(const LoadJob& job, const ObjectRecord& record, ColumnList& list) const;

    const CatalogConnection& m_connection;
};

} // namespace velkaro

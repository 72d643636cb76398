#include "catalog/SchemaModel.h"

#include <utility>

namespace velkaro {

ObjectName SchemaModel::locate(const QString& tableName, const QString& fallbackOwner) const
{
    if (const auto record = m_objects.find(tableName))
        return record->objectName();
    return {QString(), fallbackOwner, tableName};
}

std::shared_ptr<const SchemaModel::PrimaryKeys> SchemaModel::primaryKeys() const
{
    std::lock_guard lock(m_mutex);
    return m_primaryKeys;
}

std::shared_ptr<const SchemaModel::References> SchemaModel::references() const
{
    std::lock_guard lock(m_mutex);
    return m_references;
}

TableStatistics SchemaModel::tableStatistics() const
{
    std::lock_guard lock(m_mutex);
    return m_tableStatistics;
}

IndexStatistics SchemaModel::indexStatistics() const
{
    std::lock_guard lock(m_mutex);
    return m_indexStatistics;
}

void SchemaModel::setPrimaryKeys(PrimaryKeys keys)
{
    std::shared_ptr<const PrimaryKeys> published = std::make_shared<const PrimaryKeys>(std::move(keys));
    std::lock_guard lock(m_mutex);
    m_primaryKeys.swap(published);
}

void SchemaModel::setReferences(References references)
{
    std::shared_ptr<const References> published = std::make_shared<const References>(std::move(references));
    std::lock_guard lock(m_mutex);
    m_references.swap(published);
}

void SchemaModel::setTableStatistics(const TableStatistics& statistics)
{
    std::lock_guard lock(m_mutex);
    m_tableStatistics = statistics;
}

void SchemaModel::setIndexStatistics(const IndexStatistics& statistics)
{
    std::lock_guard lock(m_mutex);
    m_indexStatistics = statistics;
}

} // namespace velkaro

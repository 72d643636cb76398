#include "catalog/SchemaModel.h"

namespace velkaro {

ObjectName SchemaModel::Locate(const QString& tableName, const QString& fallbackOwner) const
{
    if (const auto record = m_objects.Find(tableName))
        return record->GetObjectName();
    return {QString(), fallbackOwner, tableName};
}

} // namespace velkaro

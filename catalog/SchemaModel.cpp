#include "catalog/SchemaModel.h"

namespace velkaro {

ObjectName SchemaModel::locate(const QString& tableName, const QString& fallbackOwner) const
{
    if (const auto record = m_objects.find(tableName))
        return record->objectName();
    return {QString(), fallbackOwner, tableName};
}

} // namespace velkaro

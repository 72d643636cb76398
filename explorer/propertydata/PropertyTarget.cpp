#include "explorer/propertydata/PropertyTarget.h"

namespace velkaro {

QString PropertyTarget::SheetTitle() const
{
    switch (kind) {
    case Kind::Root:
        return QStringLiteral("Velkaro Properties");
    case Kind::Database:
        return QStringLiteral("Database Properties");
    case Kind::Object:
        return QStringLiteral("Object Properties");
    case Kind::Index:
        return QStringLiteral("Index Properties");
    case Kind::Column:
        return QStringLiteral("Column Properties");
    }
    return {};
}

} // namespace velkaro

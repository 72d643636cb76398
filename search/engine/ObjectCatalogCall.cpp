#include "search/engine/ObjectCatalogCall.h"

#include "catalog/CatalogConnection.h"
#include "catalog/OdbcStatement.h"

namespace velkaro {

ObjectCatalogCall ObjectCatalogCall::Open(OdbcStatement& statement, const QStringList& owners,
                                          const std::function<SQLRETURN(const QString& owner)>& call)
{
    ObjectCatalogCall result;
    for (qsizetype i = 0; i < owners.size(); ++i) {
        statement.closeCursor();
        if (!IsSuccess(statement.call([&] { return call(owners.at(i)); })))
            continue;
        result.succeeded = true;
        result.firstFetch = statement.fetch();
        if (result.firstFetch != SQL_NO_DATA)
            break;
    }
    if (!result.succeeded)
        result.firstFetch = SQL_ERROR;
    return result;
}

} // namespace velkaro

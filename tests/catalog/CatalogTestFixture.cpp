#include "CatalogTestFixture.h"

#include "TestDataSources.h"
#include "catalog/ObjectListLoader.h"

namespace velkaro::test {

CatalogTestFixture::CatalogTestFixture(const TestDataSource& source) : connection(source, host)
{
    job.host = &host;
    job.alias = source.dsn;
    job.databaseNode = host.databaseNode();
    job.inUse = std::make_shared<std::atomic<int>>(1);
}

void CatalogTestFixture::loadObjects()
{
    ObjectListLoader(connection.catalog(), model.Objects()).Load(job);
}

std::shared_ptr<ObjectRecord> CatalogTestFixture::object(const QString& name, const QString& owner) const
{
    for (const auto& record : model.Objects().Snapshot()) {
        if (record->Name() == name && (owner.isEmpty() || record->Owner() == owner))
            return record;
    }
    return nullptr;
}

QStringList CatalogTestFixture::columnNames(const ObjectRecord& record) const
{
    QStringList names;
    for (const ColumnRecord& column : record.Columns()->columns)
        names.append(column.name);
    return names;
}

QStringList CatalogTestFixture::objectNames(const QString& type) const
{
    QStringList names;
    for (const auto& record : model.Objects().Snapshot()) {
        if (record->Type() == type)
            names.append(record->Name());
    }
    return names;
}

} // namespace velkaro::test

#pragma once

#include "CatalogTestConnection.h"
#include "CatalogTestHost.h"
#include "catalog/LoadJob.h"
#include "catalog/SchemaModel.h"

#include <memory>

namespace velkaro::test {

struct TestDataSource;

// One sample data source, a recording host, a model and a database job, ready to load.
// Construct it only after VELKARO_REQUIRE_DATA_SOURCE has passed.
class CatalogTestFixture final
{
public:
    explicit CatalogTestFixture(const TestDataSource& source);

    void loadObjects();
    // The first object of that name (and owner, when given), or null.
    std::shared_ptr<ObjectRecord> object(const QString& name, const QString& owner = QString()) const;
    QStringList columnNames(const ObjectRecord& record) const;
    QStringList objectNames(const QString& type) const;

    CatalogTestHost host;
    CatalogTestConnection connection;
    SchemaModel model;
    LoadJob job;
};

} // namespace velkaro::test

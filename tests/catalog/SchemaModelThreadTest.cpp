// The interface thread walks the schema model while a worker rebuilds it: under ThreadSanitizer
// this must stay silent, and a reader's snapshot must stay whole however often the model changes.

#include "CatalogTestFixture.h"
#include "TestDataSources.h"
#include "catalog/KeyLoader.h"

#include <QTest>
#include <atomic>
#include <thread>

using namespace velkaro;
using namespace velkaro::test;

class SchemaModelThreadTest final : public QObject
{
    Q_OBJECT

private slots:
    void readerWalksModelWhileWorkerReloads();
};

namespace {

// One walk over everything a view would read; returns the number of inconsistencies seen.
int walkModel(const SchemaModel& model)
{
    int faults = 0;
    for (const auto& record : model.Objects().Snapshot()) {
        const auto columns = record->Columns();
        const auto indexes = record->Indexes();
        // A published list is complete and never changes under its reader.
        const std::size_t columnCount = columns->columns.size();
        for (const ColumnRecord& column : columns->columns)
            faults += column.name.isEmpty() ? 1 : 0;
        for (const IndexRecord& index : indexes->indexes)
            faults += index.name.isEmpty() ? 1 : 0;
        faults += columns->columns.size() != columnCount ? 1 : 0;
    }
    if (const auto customers = model.Objects().Find("customers"))
        faults += customers->Name() != QLatin1String("customers") ? 1 : 0;
    return faults;
}

} // namespace

void SchemaModelThreadTest::readerWalksModelWhileWorkerReloads()
{
    VELKARO_REQUIRE_DATA_SOURCE(testDataSource("sqlite"));
    CatalogTestFixture f(testDataSource("sqlite"));
    f.host.settings.lobj = f.host.settings.lcol = f.host.settings.lind = false;
    std::atomic<bool> done{false};
    std::atomic<int> faults{0};
    std::atomic<int> walks{0};

    // The reader plays the interface thread; this thread, which opened the connection, is the
    // worker, so the driver is only ever called from one thread.
    std::thread reader([&] {
        while (!done.load() || walks.load() == 0) {
            faults += walkModel(f.model);
            ++walks;
        }
    });
    const KeyLoader keys(f.connection.catalog());
    for (int round = 0; round < 20; ++round) {
        f.loadObjects();
        faults += keys.LoadPrimaryKeys(f.model.Locate("order_lines", QString())).size() == 2 ? 0 : 1;
    }
    done = true;
    reader.join();

    QCOMPARE(faults.load(), 0);
    QVERIFY(walks.load() > 0);
    QCOMPARE(f.model.Objects().size(), 17);
    QVERIFY(f.host.logLinesWith("ERROR").isEmpty());
}

QTEST_GUILESS_MAIN(SchemaModelThreadTest)
#include "SchemaModelThreadTest.moc"

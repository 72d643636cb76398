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

void SchemaModelThreadTest::readerWalksModelWhileWorkerReloads()
{
    VELKARO_REQUIRE_DATA_SOURCE(testDataSource("sqlite"));
    CatalogTestFixture f(testDataSource("sqlite"));
    f.host.settings.lobj = f.host.settings.lcol = f.host.settings.lind = false;
    std::atomic<bool> done{false};

    std::thread worker([&] {
        const KeyLoader keys(f.connection.catalog(), f.model);
        for (int round = 0; round < 15; ++round) {
            f.loadObjects();
            keys.LoadPrimaryKeys(f.model.locate("order_lines", QString()));
        }
        done = true;
    });
    // A failed check returns early; the worker still has to finish first.
    struct Join
    {
        std::thread& thread;
        ~Join()
        {
            if (thread.joinable())
                thread.join();
        }
    } join{worker};

    int walks = 0;
    while (!done || walks == 0) {
        for (const auto& record : f.model.objects().snapshot()) {
            const auto columns = record->columns();
            const auto indexes = record->indexes();
            // A published list is complete and never changes under its reader.
            const std::size_t columnCount = columns->columns.size();
            for (const ColumnRecord& column : columns->columns)
                QVERIFY(!column.name.isEmpty());
            for (const IndexRecord& index : indexes->indexes)
                QVERIFY(!index.name.isEmpty());
            QCOMPARE(columns->columns.size(), columnCount);
        }
        if (const auto customers = f.model.objects().find("customers"))
            QCOMPARE(customers->name(), QStringLiteral("customers"));
        const auto keys = f.model.primaryKeys();
        QVERIFY(keys->empty() || keys->size() == 2);
        ++walks;
    }
    worker.join();
    QCOMPARE(f.model.objects().size(), 13);
    QVERIFY(f.host.logLinesWith("ERROR").isEmpty());
}

QTEST_GUILESS_MAIN(SchemaModelThreadTest)
#include "SchemaModelThreadTest.moc"

#include "explorer/hub/ListPaneRows.h"

#include "catalog/ObjectRecord.h"
#include "explorer/core/NodeImages.h"

#include <QTest>

using namespace velkaro;

namespace {

QStringList texts(const ListFill& fill)
{
    QStringList result;
    for (const ListRow& row : fill.rows)
        result.append(row.text);
    return result;
}

std::shared_ptr<ObjectRecord> object(const QString& name, const QString& type)
{
    return std::make_shared<ObjectRecord>(name, QStringLiteral("public"), type, QString(),
                                          QStringLiteral("note"));
}

// "orders" with two columns and two indexes.
std::shared_ptr<ObjectRecord> orders()
{
    auto record = object(QStringLiteral("orders"), QStringLiteral("TABLE"));
    ColumnList columns;
    columns.columns = {{QStringLiteral("id"),
                        QStringLiteral("int4"),
                        QStringLiteral("NOT NULL"),
                        {},
                        QStringLiteral("10"),
                        {}},
                       {QStringLiteral("total"),
                        QStringLiteral("numeric"),
                        QStringLiteral("NULL"),
                        {},
                        QStringLiteral("10,2"),
                        {}}};
    record->SetColumns(columns);
    IndexList indexes;
    indexes.indexes = {{QStringLiteral("orders_pkey"), QStringLiteral("UNIQUE "), {QStringLiteral("id")}},
                       {QStringLiteral("by_total"),
                        QStringLiteral("NOT UNIQUE "),
                        {QStringLiteral("total"), QStringLiteral("id")}}};
    record->SetIndexes(indexes);
    return record;
}

} // namespace

// The list pane's rows worked out without a window.
class ListPaneRowsTest final : public QObject
{
    Q_OBJECT

private slots:
    void databasesListsEveryDatabaseOrSaysThereIsNone()
    {
        NodeTree tree;
        tree.InsertRoot();
        DatabaseList databases;
        const ListFill none = ListPaneRows::Databases(tree, databases);
        QCOMPARE(texts(none), QStringList{QStringLiteral("No databases have been selected")});
        QCOMPARE(none.rows.front().image, NodeImage::Root);

        // In the order they were added, not the tree's sorted order.
        for (const char* alias : {"Zeta", "Alpha"}) {
            auto entry = std::make_shared<DatabaseEntry>();
            entry->session = std::make_shared<CDbSession>();
            entry->alias = QString::fromLatin1(alias);
            entry->node = tree.InsertDatabaseNode(entry->alias);
            databases.Append(entry);
        }
        const ListFill two = ListPaneRows::Databases(tree, databases);
        QCOMPARE(texts(two), (QStringList{QStringLiteral("Zeta"), QStringLiteral("Alpha")}));
        QCOMPARE(two.rows.back().image, NodeImage::Database);
        QCOMPARE(two.rows.back().cells.size(), 3);
    }

    void objectsAreAnnouncedAndImagedByType()
    {
        const ListPaneRows::ObjectList objects{
            object(QStringLiteral("orders"), QStringLiteral("TABLE")),
            object(QStringLiteral("totals"), QStringLiteral("VIEW")),
            object(QStringLiteral("ids"), QStringLiteral("SEQUENCE")),
            object(QStringLiteral("odd"), QStringLiteral("FOREIGN TABLE"))};
        const ListFill fill = ListPaneRows::Objects(objects);
        QCOMPARE(fill.expectedRows, 4);
        QList<int> images;
        for (const ListRow& row : fill.rows)
            images.append(row.image);
        QCOMPARE(images, (QList<int>{NodeImage::Table, NodeImage::View, NodeImage::Sequence,
                                     NodeImage::OtherObject}));
        QCOMPARE(fill.rows.front().cells,
                 (QStringList{QStringLiteral("TABLE"), QStringLiteral("public"), QStringLiteral("note")}));
        QCOMPARE(ListPaneRows::Objects({}).expectedRows, 0);
    }

    void objectsOfOneNameShowTheirOwner()
    {
        const auto owned = [](const QString& qualifier, const QString& owner) {
            return std::make_shared<ObjectRecord>(QStringLiteral("customers"), owner, QStringLiteral("TABLE"),
                                                  qualifier, QString());
        };
        const ListFill fill =
            ListPaneRows::Objects({owned(QStringLiteral("shop"), QStringLiteral("public")),
                                   object(QStringLiteral("orders"), QStringLiteral("TABLE")),
                                   owned(QStringLiteral("shop"), QStringLiteral("archive")),
                                   owned(QStringLiteral("performance_schema"), QString())});
        QCOMPARE(texts(fill), (QStringList{QStringLiteral("public.customers"), QStringLiteral("orders"),
                                           QStringLiteral("archive.customers"),
                                           QStringLiteral("performance_schema.customers")}));
        // Without owners, the owner column names the database that holds the object.
        QCOMPARE(fill.rows.back().cells.at(1), QStringLiteral("performance_schema"));
        QCOMPARE(fill.rows.at(2).cells.at(1), QStringLiteral("archive"));
    }

    void objectContentsListIndexesBeforeColumns()
    {
        const ListFill fill = ListPaneRows::ObjectContents(*orders());
        QCOMPARE(texts(fill), (QStringList{QStringLiteral("orders_pkey"), QStringLiteral("by_total"),
                                           QStringLiteral("id"), QStringLiteral("total")}));
        QCOMPARE(fill.rows[1].image, NodeImage::Index);
        QCOMPARE(fill.rows[1].cells,
                 (QStringList{QStringLiteral("NOT UNIQUE "), QStringLiteral("INDEX"), QString()}));
        QCOMPARE(fill.rows[3].image, NodeImage::Column);
        QCOMPARE(fill.rows[3].cells,
                 (QStringList{QStringLiteral("NULL"), QStringLiteral("numeric"), QStringLiteral("10,2")}));
        // Details not loaded yet: nothing to list.
        QVERIFY(ListPaneRows::ObjectContents(*object(QStringLiteral("bare"), QStringLiteral("TABLE")))
                    .rows.empty());
    }

    void indexColumns_data()
    {
        QTest::addColumn<QString>("index");
        QTest::addColumn<bool>("details");
        QTest::addColumn<QStringList>("rows"); // empty: no such index
        QTest::newRow("columns in index order") << QStringLiteral("by_total") << true
                                                << QStringList{QStringLiteral("total"), QStringLiteral("id")};
        QTest::newRow("exact name only") << QStringLiteral("BY_TOTAL") << true << QStringList{};
        QTest::newRow("indexes not loaded") << QStringLiteral("by_total") << false << QStringList{};
    }

    void indexColumns()
    {
        QFETCH(QString, index);
        QFETCH(bool, details);
        QFETCH(QStringList, rows);
        const auto record = details ? orders() : object(QStringLiteral("orders"), QStringLiteral("TABLE"));
        const std::optional<ListFill> fill = ListPaneRows::IndexColumns(*record, index);
        QCOMPARE(fill.has_value(), !rows.isEmpty());
        if (fill) {
            QCOMPARE(texts(*fill), rows);
            QCOMPARE(fill->rows.front().image, NodeImage::IndexColumn);
        }
    }
};

QTEST_GUILESS_MAIN(ListPaneRowsTest)
#include "ListPaneRowsTest.moc"

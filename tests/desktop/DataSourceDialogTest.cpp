#include "desktop/DataSourceDialog.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using velkaro::DataSourceDialog;

namespace {

QStringList firstColumn(const QTreeWidget* list)
{
    QStringList texts;
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        texts.append(list->topLevelItem(row)->text(0));
    return texts;
}

QTreeWidgetItem* findRow(QTreeWidget* list, const QString& text)
{
    const QList<QTreeWidgetItem*> found = list->findItems(text, Qt::MatchExactly, 0);
    return found.isEmpty() ? nullptr : found.constFirst();
}

} // namespace

class DataSourceDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void listsDataSourcesAndDrivers()
    {
        DataSourceDialog dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Select Data Source"));
        auto* sources = dialog.findChild<QTreeWidget*>(QStringLiteral("dataSources"));
        auto* drivers = dialog.findChild<QTreeWidget*>(QStringLiteral("drivers"));
        QVERIFY(sources && drivers);
        QCOMPARE(firstColumn(sources),
                 (QStringList{QStringLiteral("ShopSQLite"), QStringLiteral("ShopPostgres"),
                              QStringLiteral("ShopMariaDB")}));
        QCOMPARE(sources->topLevelItem(2)->text(2), QStringLiteral("MariaDB"));
        QCOMPARE(firstColumn(drivers),
                 (QStringList{QStringLiteral("SQLite3"), QStringLiteral("PostgreSQL ANSI"),
                              QStringLiteral("PostgreSQL Unicode"), QStringLiteral("MariaDB")}));
    }

    void pickingBuildsTheConnectString_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("row");
        QTest::addColumn<QString>("expected");
        QTest::newRow("data source") << "dataSources"
                                     << "ShopPostgres"
                                     << "DSN=ShopPostgres";
        QTest::newRow("driver without data source") << "drivers"
                                                    << "PostgreSQL Unicode"
                                                    << "DRIVER={PostgreSQL Unicode};";
    }
    void pickingBuildsTheConnectString()
    {
        QFETCH(QString, list);
        QFETCH(QString, row);
        QFETCH(QString, expected);
        DataSourceDialog dialog;
        auto* tree = dialog.findChild<QTreeWidget*>(list);
        QTreeWidgetItem* item = findRow(tree, row);
        QVERIFY(item);
        tree->setCurrentItem(item);
        QCOMPARE(dialog.connectString(), expected);
    }

    void freeTextAndOk()
    {
        DataSourceDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
        QVERIFY(!ok->isEnabled()); // nothing chosen yet

        auto* drivers = dialog.findChild<QTreeWidget*>(QStringLiteral("drivers"));
        drivers->setCurrentItem(findRow(drivers, QStringLiteral("SQLite3")));
        auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("connectString"));
        edit->setFocus();
        edit->end(false);
        QTest::keyClicks(edit, QStringLiteral("Database=/tmp/x.db "));
        QVERIFY(ok->isEnabled());
        QTest::mouseClick(ok, Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.connectString(), QStringLiteral("DRIVER={SQLite3};Database=/tmp/x.db"));
    }

    void activatingADataSourceAccepts()
    {
        DataSourceDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto* sources = dialog.findChild<QTreeWidget*>(QStringLiteral("dataSources"));
        QTreeWidgetItem* item = findRow(sources, QStringLiteral("ShopMariaDB"));
        const QRect rect = sources->visualItemRect(item);
        QTest::mouseClick(sources->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(sources->viewport(), Qt::LeftButton, {}, rect.center());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.connectString(), QStringLiteral("DSN=ShopMariaDB"));
    }
};

QTEST_MAIN(DataSourceDialogTest)
#include "DataSourceDialogTest.moc"

#include "explorer/views/CVelkaroView.h"

#include "common/ProfileStore.h"
#include "explorer/views/NodeImageList.h"

#include <QFile>
#include <QHeaderView>
#include <QImage>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace velkaro;

namespace {

// Shows the list with a client area of the given width.
void showWithClientWidth(CVelkaroView& view, int width)
{
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.resize(width + view.width() - view.viewport()->width(), 300);
    QTRY_COMPARE(view.viewport()->width(), width);
}

QList<int> widths(const CVelkaroView& view)
{
    QList<int> result;
    for (int column = 0; column < view.columnCount(); ++column)
        result.append(view.columnWidth(column));
    return result;
}

ListFill numberedRows(int count, int image)
{
    ListFill fill;
    for (int row = 0; row < count; ++row)
        fill.rows.push_back({QStringLiteral("row %1").arg(row), image, {}});
    return fill;
}

} // namespace

class CVelkaroViewTest final : public QObject
{
    Q_OBJECT

private slots:
    // The images come from built-in SVG files: each number has its own, drawn, image.
    void nodeImagesComeFromTheResources()
    {
        QSet<QByteArray> seen;
        for (int image = 0; image < NodeImageList::kCount; ++image) {
            const QImage drawn =
                NodeImageList::Pixmap(image).toImage().convertToFormat(QImage::Format_ARGB32);
            QCOMPARE(drawn.size(), QSize(NodeImageList::kSize, NodeImageList::kSize));
            int opaque = 0;
            for (int y = 0; y < drawn.height(); ++y)
                for (int x = 0; x < drawn.width(); ++x)
                    opaque += qAlpha(drawn.pixel(x, y)) > 127 ? 1 : 0;
            QVERIFY2(opaque >= 10, qPrintable(QString::number(image)));
            seen.insert(QByteArray(reinterpret_cast<const char*>(drawn.constBits()), drawn.sizeInBytes()));
        }
        QCOMPARE(seen.size(), NodeImageList::kCount);
        QVERIFY(NodeImageList::Pixmap(NodeImageList::kCount).isNull());
        QVERIFY(NodeImageList::Pixmap(-1).isNull());
    }

    void init()
    {
        ProfileStore store(QStringLiteral("Velkaro"));
        QFile::remove(store.FileName());
    }

    void columnWidths_data()
    {
        QTest::addColumn<int>("set");
        QTest::addColumn<QList<int>>("stored");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("root set, nothing stored")
            << 0 << QList<int>{} << QStringList{"Name", "User Name", "DBMS", "Version"}
            << QList<int>{200, 100, 100, 100};
        QTest::newRow("database set, nothing stored")
            << 1 << QList<int>{} << QStringList{"Name", "Type", "Owner", "Remarks"}
            << QList<int>{200, 100, 100, 200};
        QTest::newRow("object set, one stored width zero")
            << 2 << QList<int>{150, 0, 80, 40} << QStringList{"Name", "Null/Unique", "Type", "Size"}
            << QList<int>{250, 125, 125, 62};
        QTest::newRow("object set, one stored width negative")
            << 2 << QList<int>{150, 90, -5, 40} << QStringList{"Name", "Null/Unique", "Type", "Size"}
            << QList<int>{250, 125, 125, 62};
        QTest::newRow("object set, all stored")
            << 2 << QList<int>{150, 90, 80, 40} << QStringList{"Name", "Null/Unique", "Type", "Size"}
            << QList<int>{150, 90, 80, 40};
        QTest::newRow("index set, nothing stored")
            << 3 << QList<int>{} << QStringList{"Name"} << QList<int>{125};
    }

    void columnWidths()
    {
        QFETCH(int, set);
        QFETCH(QList<int>, stored);
        QFETCH(QStringList, names);
        QFETCH(QList<int>, expected);
        ProfileStore store(QStringLiteral("Velkaro"));
        for (int column = 0; column < stored.size(); ++column)
            store.WriteInt(QStringLiteral("Settings"), QStringLiteral("C-%1%2").arg(set).arg(column),
                           stored.at(column));
        CVelkaroView view(store);
        showWithClientWidth(view, 500);
        view.SetColumnSet(set);
        QCOMPARE(widths(view), expected);
        QStringList shown;
        for (int column = 0; column < view.columnCount(); ++column)
            shown.append(view.headerItem()->text(column));
        QCOMPARE(shown, names);
        QCOMPARE(view.ColumnSet(), set);
    }

    void widthsPersistForTheNextView()
    {
        ProfileStore store(QStringLiteral("Velkaro"));
        {
            CVelkaroView view(store);
            showWithClientWidth(view, 500);
            view.SetColumnSet(1);
            const QList<int> chosen{210, 70, 90, 130};
            for (int column = 0; column < chosen.size(); ++column)
                view.setColumnWidth(column, chosen.at(column));
            view.SaveColumnWidths(1);
            view.SetColumnSet(2);
        }
        CVelkaroView next(store);
        showWithClientWidth(next, 300);
        next.SetColumnSet(1);
        QCOMPARE(widths(next), (QList<int>{210, 70, 90, 130}));
    }

    void longFillGoesInChunksAndStopsWhenAsked()
    {
        ProfileStore store(QStringLiteral("Velkaro"));
        CVelkaroView view(store);
        view.SetColumnSet(1);
        QSignalSpy announced(&view, &CVelkaroView::FillStarted);
        bool selectionMoved = false;
        ListFill fill = numberedRows(1000, 2);
        fill.expectedRows = 1000;
        fill.stop = [&selectionMoved] { return selectionMoved; };
        view.Fill(std::move(fill));
        QCOMPARE(announced.size(), 1);
        QCOMPARE(announced.first().first().toInt(), 1000);
        QCOMPARE(view.topLevelItemCount(), CVelkaroView::kFillChunk);
        selectionMoved = true;
        QTRY_VERIFY(!view.FillInProgress());
        QCOMPARE(view.topLevelItemCount(), CVelkaroView::kFillChunk);

        view.Fill(numberedRows(1000, 2));
        QTRY_VERIFY(!view.FillInProgress());
        QCOMPARE(view.topLevelItemCount(), 1000);
    }

    void newFillReplacesOneInProgress()
    {
        ProfileStore store(QStringLiteral("Velkaro"));
        CVelkaroView view(store);
        view.SetColumnSet(1);
        view.Fill(numberedRows(1000, 2));
        view.Fill(numberedRows(3, 9));
        // Posted events run in order: once this one has run, so has the first fill's next chunk.
        bool laterTurn = false;
        QTimer::singleShot(0, &view, [&laterTurn] { laterTurn = true; });
        QTRY_VERIFY(laterTurn);
        QVERIFY(!view.FillInProgress());
        QCOMPARE(view.topLevelItemCount(), 3);
    }

    void rowKindsAndSelectByText()
    {
        ProfileStore store(QStringLiteral("Velkaro"));
        CVelkaroView view(store);
        view.SetColumnSet(2);
        QCOMPARE(view.SelectedRowKind(), -1);
        ListFill fill;
        fill.rows = {
            {QStringLiteral("id"), 4, {}}, {QStringLiteral("id"), 3, {}}, {QStringLiteral("name"), 3, {}}};
        view.Fill(std::move(fill));
        QVERIFY(view.SelectRowByText(QStringLiteral("id")));
        QCOMPARE(view.currentItem(), view.topLevelItem(1));
        QCOMPARE(view.SelectedRowKind(), 4);
        QVERIFY(!view.SelectRowByText(QStringLiteral("ID")));
        view.setCurrentItem(view.topLevelItem(0));
        QCOMPARE(view.SelectedRowKind(), 3);
    }
};

QTEST_MAIN(CVelkaroViewTest)
#include "CVelkaroViewTest.moc"

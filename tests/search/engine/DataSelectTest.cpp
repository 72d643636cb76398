#include "catalog/SearchRecords.h"
#include "search/engine/ColumnType.h"
#include "search/engine/DataSearch.h"
#include "search/engine/DataSelectBuilder.h"
#include "search/engine/KeyChunkReader.h"
#include "search/engine/PadColumn.h"
#include "search/engine/SearchRun.h"

#include <QTest>
#include <memory>
#include <sqlext.h>

using namespace velkaro;

Q_DECLARE_METATYPE(velkaro::SpecialNameMode)

namespace {

using Traits = IdentifierQuoting::Traits;

Traits Backtick()
{
    Traits traits;
    traits.quote = QStringLiteral("`");
    traits.qualifierInStatements = true;
    traits.ownerInStatements = false;
    return traits;
}

Traits WithKeywords(const QStringList& keywords)
{
    Traits traits = Backtick();
    for (const QString& word : keywords)
        traits.keywords.insert(word);
    return traits;
}

Traits LowerFolding()
{
    Traits traits;
    traits.folding = IdentifierQuoting::Folding::Lower;
    traits.qualifierInStatements = false;
    return traits;
}

std::unique_ptr<SearchObjectRecord> Object(const QString& name, const QStringList& columns,
                                           const QString& owner = QString(),
                                           const QString& qualifier = QString())
{
    auto object = std::make_unique<SearchObjectRecord>();
    object->name = name;
    object->owner = owner;
    object->qualifier = qualifier;
    for (const QString& column : columns)
        object->searchColumns.push_back(
            {column, QString(), QStringLiteral("Not Found"), 0, 0, true, 0, QString()});
    return object;
}

SearchColumnRecord Column(const QString& name, int displayWidth)
{
    SearchColumnRecord column;
    column.name = name;
    column.displayWidth = displayWidth;
    return column;
}

} // namespace

class DataSelectTest : public QObject
{
    Q_OBJECT

private slots:
    void buildDataSelect_data()
    {
        QTest::addColumn<Traits>("traits");
        QTest::addColumn<SpecialNameMode>("mode");
        QTest::addColumn<QString>("owner");
        QTest::addColumn<QString>("qualifier");
        QTest::addColumn<QString>("object");
        QTest::addColumn<QStringList>("columns");
        QTest::addColumn<QString>("statement");

        const auto autoDetect = SpecialNameMode::AutoDetect;
        const auto allSpecial = SpecialNameMode::AllSpecial;
        const auto allRegular = SpecialNameMode::AllRegular;
        const QStringList orderColumns{"NAME", "ORDER-NO", "2ND"};
        QTest::newRow("hyphen and leading digit quoted, separators kept")
            << Backtick() << autoDetect << ""
            << ""
            << "ORDER LINES" << orderColumns << "select NAME , `ORDER-NO` , `2ND` from `ORDER LINES`";
        QTest::newRow("all special quotes every column, not a plain table")
            << Backtick() << allSpecial << ""
            << ""
            << "ORDERS" << QStringList{"ID", "NAME"} << "select `ID` , `NAME` from ORDERS";
        QTest::newRow("all regular leaves words unquoted, quotes a hyphen and a blank")
            << Backtick() << allRegular << ""
            << ""
            << "ORDER LINES" << orderColumns << "select NAME , `ORDER-NO` , 2ND from `ORDER LINES`";
        QTest::newRow("all regular quotes a # inside a name")
            << Backtick() << allRegular << ""
            << ""
            << "T#1" << QStringList{"A#B", "PLAIN"} << "select `A#B` , PLAIN from `T#1`";
        QTest::newRow("all regular quotes a leading #, a comment on MariaDB")
            << Backtick() << allRegular << ""
            << ""
            << "#T" << QStringList{"#C"} << "select `#C` from `#T`";
        QTest::newRow("all regular quotes non-ASCII letters")
            << Traits() << allRegular << ""
            << ""
            << "Größe" << QStringList{"Maß"} << "select \"Maß\" from \"Größe\"";
        QTest::newRow("the driver's own reserved word")
            << WithKeywords({"READS"}) << autoDetect << ""
            << ""
            << "t" << QStringList{"reads", "writes"} << "select `reads` , writes from t";
        QTest::newRow("leading hyphen is no plain name")
            << Traits() << autoDetect << ""
            << ""
            << "t" << QStringList{"-X"} << "select \"-X\" from t";
        QTest::newRow("reserved words in any case") << Traits() << autoDetect << ""
                                                    << ""
                                                    << "group" << QStringList{"key", "Value", "name"}
                                                    << "select \"key\" , \"Value\" , name from \"group\"";
        QTest::newRow("non-ASCII letters")
            << Traits() << autoDetect << ""
            << ""
            << "Größe" << QStringList{"Maß"} << "select \"Maß\" from \"Größe\"";
        QTest::newRow("upper case where the DBMS folds to lower")
            << LowerFolding() << autoDetect << "public"
            << "shop"
            << "MixedCase" << QStringList{"CamelColumn", "lower_col"}
            << "select \"CamelColumn\" , lower_col from \"public\".\"MixedCase\"";
        QTest::newRow("mixed case kept where the DBMS does not fold")
            << Traits() << autoDetect << ""
            << ""
            << "MixedCase" << QStringList{"CamelColumn"} << "select CamelColumn from MixedCase";
        QTest::newRow("quote character inside a name doubled")
            << Traits() << autoDetect << ""
            << ""
            << "a\"b" << QStringList{"c\"d"} << "select \"c\"\"d\" from \"a\"\"b\"";
        QTest::newRow("backtick inside a name doubled")
            << Backtick() << autoDetect << ""
            << ""
            << "x`y" << QStringList{"id"} << "select id from `x``y`";
        QTest::newRow("owner of a schema twin")
            << LowerFolding() << autoDetect << "archive"
            << "shop"
            << "customers" << QStringList{"archived_at"} << "select archived_at from archive.customers";
        QTest::newRow("qualifier where the DBMS takes it, owner where it does not")
            << Backtick() << autoDetect << "nobody"
            << "information_schema"
            << "user" << QStringList{"TABLE_NAME"} << "select TABLE_NAME from information_schema.`user`";
        QTest::newRow("all regular leaves owner and qualifier plain")
            << Backtick() << allRegular << ""
            << "my-db"
            << "sales-2025" << QStringList{"amount"} << "select amount from `my-db`.`sales-2025`";
        QTest::newRow("no columns, no statement") << Traits() << autoDetect << ""
                                                  << ""
                                                  << "t" << QStringList{} << "";
    }

    void buildDataSelect()
    {
        QFETCH(Traits, traits);
        QFETCH(SpecialNameMode, mode);
        QFETCH(QString, owner);
        QFETCH(QString, qualifier);
        QFETCH(QString, object);
        QFETCH(QStringList, columns);
        QFETCH(QString, statement);

        const DataSelectBuilder builder(IdentifierQuoting(traits), mode);
        const DataSelect select = builder.BuildDataSelect(*Object(object, columns, owner, qualifier));
        QCOMPARE(select.statement, statement);
        QCOMPARE(select.columnList.isEmpty(), columns.isEmpty());
    }

    void padColumn_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("truncate");
        QTest::addColumn<QString>("cell");

        QTest::newRow("shorter is padded") << "ab" << 5 << true << "ab   ";
        QTest::newRow("as long stays") << "abcde" << 5 << true << "abcde";
        QTest::newRow("longer is cut") << "abcdefg" << 5 << true << "abcde";
        QTest::newRow("longer stays whole without truncation") << "abcdefg" << 5 << false << "abcdefg";
        QTest::newRow("width zero") << "abc" << 0 << true << "";
        QTest::newRow("non-ASCII counted as characters") << "Größe" << 7 << true << "Größe  ";
    }

    void padColumn()
    {
        QFETCH(QString, text);
        QFETCH(int, width);
        QFETCH(bool, truncate);
        QFETCH(QString, cell);
        QCOMPARE(PadColumn(text, width, truncate), cell);
    }

    void columnType_data()
    {
        QTest::addColumn<int>("dataType");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("precision");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("textual");

        QTest::newRow("integer at least 11") << int(SQL_INTEGER) << 4 << 10 << "INTEGER" << 11 << true;
        QTest::newRow("numeric reported as NUMBER") << int(SQL_NUMERIC) << 5 << 10 << "NUMBER" << 12 << true;
        QTest::newRow("varchar is its length") << int(SQL_VARCHAR) << 30 << 30 << "VARCHAR" << 30 << true;
        QTest::newRow("binary two digits a byte")
            << int(SQL_VARBINARY) << 8 << 8 << "VARBINARY" << 16 << false;
        QTest::newRow("huge binary length does not overflow")
            << int(SQL_LONGVARBINARY) << 2147483647 << 0 << "LONG VARBINARY" << 2147483647 << false;
        QTest::newRow("date of the ODBC 3 code") << int(SQL_TYPE_DATE) << 6 << 10 << "DATE" << 10 << true;
        QTest::newRow("timestamp takes the low 16 bits of a long length")
            << int(SQL_TIMESTAMP) << 0x10005 << 19 << "TIMESTAMP" << 22 << true;
        QTest::newRow("wide varchar is a varchar")
            << int(SQL_WVARCHAR) << 40 << 40 << "VARCHAR" << 40 << true;
        QTest::newRow("unknown code") << 1234 << 7 << 0 << "UNKNOWN" << 7 << false;
        QTest::newRow("null length") << int(SQL_CHAR) << -1 << 0 << "CHAR" << 0 << true;
    }

    void columnType()
    {
        QFETCH(int, dataType);
        QFETCH(int, length);
        QFETCH(int, precision);
        QFETCH(QString, name);
        QFETCH(int, width);
        QFETCH(bool, textual);

        const ColumnType type = ColumnType::For(dataType, length, precision);
        QCOMPARE(type.standardName, name);
        QCOMPARE(type.displayWidth, width);
        QCOMPARE(type.textual, textual);
    }

    void dataLinesFollowTheColumnWidths()
    {
        SearchObjectRecord object;
        object.searchColumns = {Column("QUANTITY", 11), Column("DESCRIPTION", 5), Column("NOTES", 16777215)};

        QCOMPARE(DataSearch::HeaderLine(object),
                 "QUANTITY   _DESCR_NOTES" + QString(DataSearch::kMaxHeaderWidth - 5, ' ') + "_\r\n");
        // A longer value widens its column for the rows that follow.
        QCOMPARE(DataSearch::RowLine(object, {"7", "screws", "x"}),
                 "7           screws x" + QString(DataSearch::kMaxHeaderWidth - 1, ' ') + " \r\n");
        QCOMPARE(DataSearch::RowLine(object, {"12", "nut", ""}),
                 "12          nut    " + QString(DataSearch::kMaxHeaderWidth, ' ') + " \r\n");
        // Writing the header again starts the object's widths afresh.
        DataSearch::HeaderLine(object);
        QCOMPARE(object.searchColumns[1].currentWidth, 5);
    }

    // A chunk is sized by what the driver holds of it: narrow rows come many at a time, long values
    // count at the length the search reads of them, and a chunk never shrinks below its floor.
    void rowsPerChunk_data()
    {
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("rows");
        QTest::newRow("narrow rows reach the ceiling") << 4 << 20 << KeyChunkReader::kMaxChunkRows;
        QTest::newRow("a long column counts at the cut length") << 1 << 16777215 << 1675;
        QTest::newRow("many long columns keep the floor")
            << 2000 << 16777215 << KeyChunkReader::kMinChunkRows;
    }

    void rowsPerChunk()
    {
        QFETCH(int, columns);
        QFETCH(int, width);
        QFETCH(int, rows);
        const std::vector<SearchColumnRecord> record(size_t(columns), Column("C", width));
        QCOMPARE(KeyChunkReader::RowsPerChunk(record), rows);
    }

    void elapsedTime_data()
    {
        QTest::addColumn<qint64>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << qint64(0) << "00:00:00";
        QTest::newRow("hour, minutes and seconds") << qint64(3725) << "01:02:05";
        QTest::newRow("a day and more") << qint64(90061) << "25:01:01";
    }

    void elapsedTime()
    {
        QFETCH(qint64, seconds);
        QFETCH(QString, text);
        QCOMPARE(SearchRun::ElapsedTime(seconds), text);
    }
};

QTEST_GUILESS_MAIN(DataSelectTest)
#include "DataSelectTest.moc"

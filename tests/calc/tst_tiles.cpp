#include "tiles.h"

#include "failures.h"

#include <QTest>

using namespace calc;
using failures::notANumber;
using failures::overflow;

namespace {

// Length and width as typed.
TileResult tilesFor(int type, const QStringList &sides)
{
    return computeTiles(type, InputNumber(sides.at(0), u','), InputNumber(sides.at(1), u','));
}

} // namespace

class TestTiles : public QObject
{
    Q_OBJECT

private slots:
    void showsAreaAndCount_data();
    void showsAreaAndCount();
    void reportsFailure_data();
    void reportsFailure();
};

void TestTiles::showsAreaAndCount_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QStringList>("sides");
    QTest::addColumn<QStringList>("texts");

    QTest::newRow("squareDefaultSides") << 0 << QStringList{"1", "1"} << QStringList{"1", "16"};
    QTest::newRow("squareFourDigitCount")
        << 0 << QStringList{"3,3", "2,7"} << QStringList{"8,91", "142,6"};
    QTest::newRow("squareCountInExponentForm")
        << 0 << QStringList{"25", "25"} << QStringList{"625", "1E004"};
    QTest::newRow("squareAreaInExponentForm")
        << 0 << QStringList{"100", "100"} << QStringList{"1E004", "1,6E005"};
    QTest::newRow("hexagon") << 1 << QStringList{"12,5", "8"} << QStringList{"100", "2400"};
    QTest::newRow("wildStone") << 2 << QStringList{"2", "1,5"} << QStringList{"3", "33"};
    QTest::newRow("slate") << 3 << QStringList{"2", "1,5"} << QStringList{"3", "30"};
    QTest::newRow("pavingStone") << 4 << QStringList{"2", "1,5"} << QStringList{"3", "120"};
    QTest::newRow("honeycomb") << 5 << QStringList{"2", "1,5"} << QStringList{"3", "72"};
    QTest::newRow("violet") << 6 << QStringList{"2", "1,5"} << QStringList{"3", "60"};
    QTest::newRow("crossFractionalCount")
        << 7 << QStringList{"0,5", "0,5"} << QStringList{"0,25", "1,5"};
    QTest::newRow("sun") << 8 << QStringList{"2", "1,5"} << QStringList{"3", "27"};
    QTest::newRow("triangle") << 9 << QStringList{"2", "1,5"} << QStringList{"3", "27"};
    QTest::newRow("negativeLength") << 0 << QStringList{"-2", "3"} << QStringList{"-6", "-96"};
    QTest::newRow("sidesBeyondDoubleRange")
        << 0 << QStringList{"1E4000", "1E-3999"} << QStringList{"10", "160"};
    // 1.2345 held in extended shows 1,235; the kept double lies below it.
    QTest::newRow("areaKeptAsDouble")
        << 0 << QStringList{"1", "1,2345"} << QStringList{"1,234", "19,75"};
}

void TestTiles::showsAreaAndCount()
{
    QFETCH(int, type);
    QFETCH(QStringList, sides);
    QFETCH(QStringList, texts);

    const TileResult result = tilesFor(type, sides);
    const QStringList shown{resultText(result.areaM2, kTileFormat, u','),
                            resultText(result.count, kTileFormat, u',')};
    QCOMPARE(shown, texts);
}

void TestTiles::reportsFailure_data()
{
    QTest::addColumn<QStringList>("sides");
    QTest::addColumn<QString>("message");

    QTest::newRow("bothBadNamesLength") << QStringList{"a", "b"} << notANumber("a");
    QTest::newRow("emptyWidth") << QStringList{"1", ""} << notANumber("");
    QTest::newRow("widthWithPoint") << QStringList{"1", "2.5"} << notANumber("2.5");
    QTest::newRow("areaOverflows") << QStringList{"1E200", "1E200"} << overflow;
    QTest::newRow("countOverflowsAfterArea") << QStringList{"1E300", "1E8"} << overflow;
}

void TestTiles::reportsFailure()
{
    QFETCH(QStringList, sides);
    QFETCH(QString, message);

    QCOMPARE(failures::of([&] { tilesFor(0, sides); }), message);
}

QTEST_GUILESS_MAIN(TestTiles)
#include "tst_tiles.moc"

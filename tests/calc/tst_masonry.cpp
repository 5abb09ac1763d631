#include "masonry.h"

#include "failures.h"

#include <QTest>

using namespace calc;
using failures::notANumber;
using failures::overflow;

namespace {

// Field texts in reading order of the page: L, H, window L and H, door L and H, thickness.
MasonryInput masonryInput(const QStringList &texts)
{
    const auto field = [&](int i) {
        return InputNumber(texts.at(i), u',');
    };
    return {field(0), field(1), field(2), field(3), field(4), field(5), field(6)};
}

std::optional<int> kindOf(int index)
{
    return index < 0 ? std::nullopt : std::optional<int>(index);
}

} // namespace

class TestMasonry : public QObject
{
    Q_OBJECT

private slots:
    void showsQuantities_data();
    void showsQuantities();
    void reportsFirstFailure_data();
    void reportsFirstFailure();
};

void TestMasonry::showsQuantities_data()
{
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("texts");

    QTest::newRow("oneBrickPlainWall") << QStringList{"12", "3", "0", "0", "0", "0", "0,25"} << 0
                                       << QStringList{"9", "3600", "1,998", "0,009"};
    QTest::newRow("oneAndHalfBricks") << QStringList{"10", "3", "0", "0", "0", "0", "0,38"} << 1
                                      << QStringList{"11,4", "4503", "2,679", "0,0114"};
    QTest::newRow("twoAndHalfBricksLessOpenings")
        << QStringList{"10", "3", "2", "1,5", "1", "2", "0,64"} << 3
        << QStringList{"16", "6272", "3,936", "0,016"};
    QTest::newRow("twoBricksFractionalBrickCount")
        << QStringList{"10", "3", "2", "1,5", "1", "2", "0,51"} << 2
        << QStringList{"12,75", "5023,5", "3,009", "0,01275"};
    QTest::newRow("ratesFollowKindVolumeFollowsThickness")
        << QStringList{"12", "3", "0", "0", "0", "0", "0,24"} << 0
        << QStringList{"8,64", "3456", "1,918", "0,00864"};
    QTest::newRow("allZeroInputs") << QStringList{"0", "0", "0", "0", "0", "0", "0,25"} << 0
                                   << QStringList{"0", "0", "0", "0"};
    QTest::newRow("plugsBelowFixedRange") << QStringList{"1", "0,2", "0", "0", "0", "0", "0,25"}
                                          << 0 << QStringList{"0,05", "20", "0,0111", "5E-005"};
    QTest::newRow("openingsLargerThanWall")
        << QStringList{"2", "1", "3", "1", "0", "0", "0,25"} << 0
        << QStringList{"-0,25", "-100", "-0,0555", "-0,00025"};
    QTest::newRow("noKindGivesZeroMaterials") << QStringList{"12", "3", "0", "0", "0", "0", "0,25"}
                                              << -1 << QStringList{"9", "0", "0", "0"};
    QTest::newRow("brickCountInExponentForm")
        << QStringList{"1000000", "1000", "0", "0", "0", "0", "0,1"} << 0
        << QStringList{"1E008", "4E10", "2,22E007", "1E005"};
    QTest::newRow("hugeVolumeWithoutKind") << QStringList{"1E306", "1", "0", "0", "0", "0", "1"}
                                           << -1 << QStringList{"1E306", "0", "0", "0"};
    QTest::newRow("factorsBeyondDoubleRange")
        << QStringList{"1E4000", "1E-3999", "0", "0", "0", "0", "0,25"} << 0
        << QStringList{"2,5", "1000", "0,555", "0,0025"};
    // 1.2345 held in extended shows 1,235; the double next to it lies below and shows 1,234.
    QTest::newRow("wallAreaKeptAsDouble") << QStringList{"1", "1,2345", "0", "0", "0", "0", "1"}
                                          << -1 << QStringList{"1,234", "0", "0", "0"};
    // The double next to 1.10005 lies below it, the one next to 0.10005 above: a net area
    // taken from an extended wall area would show 0,1001.
    QTest::newRow("netAreaFromKeptWallArea") << QStringList{"1", "1,10005", "1", "1", "0", "0", "1"}
                                             << -1 << QStringList{"0,1", "0", "0", "0"};
}

void TestMasonry::showsQuantities()
{
    QFETCH(QStringList, fields);
    QFETCH(int, kind);
    QFETCH(QStringList, texts);

    const MasonryResult result = computeMasonry(masonryInput(fields), kindOf(kind));
    const QStringList shown{resultText(result.volumeM3, kMasonryFormats.volumeM3, u','),
                            resultText(result.bricks, kMasonryFormats.bricks, u','),
                            resultText(result.mortarM3, kMasonryFormats.mortarM3, u','),
                            resultText(result.plugsM3, kMasonryFormats.plugsM3, u',')};
    QCOMPARE(shown, texts);
}

void TestMasonry::reportsFirstFailure_data()
{
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("message");

    QTest::newRow("emptyLength") << QStringList{"", "3", "0", "0", "0", "0", "0,25"} << 0
                                 << notANumber("");
    QTest::newRow("lengthBeforeHeight")
        << QStringList{"abc", "xyz", "0", "0", "0", "0", "0,25"} << 0 << notANumber("abc");
    QTest::newRow("windowHeightWithPoint")
        << QStringList{"12", "3", "2", "1.5", "0", "0", "0,25"} << 0 << notANumber("1.5");
    QTest::newRow("doorLengthWithBlank")
        << QStringList{"12", "3", "0", "0", "1 000", "0", "0,25"} << 0 << notANumber("1 000");
    QTest::newRow("doorHeightBeforeThickness")
        << QStringList{"12", "3", "0", "0", "0", "2x", "0.25"} << 0 << notANumber("2x");
    QTest::newRow("thicknessReadLast")
        << QStringList{"12", "3", "0", "0", "0", "0", " 0.25 "} << 0 << notANumber(" 0.25 ");
    QTest::newRow("wallAreaOverflowsBeforeWindowIsRead")
        << QStringList{"1E300", "1E10", "x", "0", "0", "0", "0,25"} << 0 << overflow;
    QTest::newRow("inputBeyondDoubleOverflowsWallArea")
        << QStringList{"1E4000", "1", "0", "0", "0", "0", "0,25"} << 0 << overflow;
    QTest::newRow("windowAreaOverflowsBeforeDoorIsRead")
        << QStringList{"1", "1", "1E200", "1E200", "door", "0", "0,25"} << 0 << overflow;
    QTest::newRow("netAreaOverflowsBeforeThicknessIsRead")
        << QStringList{"1E308", "1", "1E308", "-1", "0", "0", "bad"} << 0 << overflow;
    QTest::newRow("volumeOverflows")
        << QStringList{"1E300", "1", "0", "0", "0", "0", "1E10"} << -1 << overflow;
    QTest::newRow("brickCountOverflows")
        << QStringList{"1E306", "1", "0", "0", "0", "0", "1"} << 0 << overflow;
}

void TestMasonry::reportsFirstFailure()
{
    QFETCH(QStringList, fields);
    QFETCH(int, kind);
    QFETCH(QString, message);

    QCOMPARE(failures::of([&] { computeMasonry(masonryInput(fields), kindOf(kind)); }), message);
}

QTEST_GUILESS_MAIN(TestMasonry)
#include "tst_masonry.moc"

#include "calcerror.h"
#include "measure.h"
#include "normbill.h"
#include "normcompute.h"

#include <QtTest>

class NormComputeTest : public QObject
{
    Q_OBJECT

private slots:
    void readsMeasures_data();
    void readsMeasures();
    void writesHoursLinesOnlyForHoursItHas();
    void refusesABadVolume_data();
    void refusesABadVolume();
    void joinsTheWorkContentWithoutDoubledStops_data();
    void joinsTheWorkContentWithoutDoubledStops();
    void billEntryHasTheVolumeAndEachAmountsFormula();
};

namespace {

norms::Norm footing()
{
    using G = norms::ResourceGroup;
    return {7,
            "ГЭСН",
            "06-01-001-02",
            "Устройство бетонных фундаментов общего назначения объемом: до 5 м3",
            "100 м3",
            {},
            {
                {"1-100-30", "Средний разряд работы 3,0", "чел.-ч", 180.0, G::Labour, false, {}},
                {"2", "Затраты труда машинистов", "чел.-ч", 0.5, G::Labour, false, {}},
                {"91.14.02-001", "Автомобили бортовые", "маш.-ч", 1.2, G::Machine, false, {}},
                {"01.7.15.06-0111", "Гвозди строительные", "т", 0.005, G::Material, false, {}},
                {"04.1.02.05", "Смеси бетонные", "м3", std::nullopt, G::Material, true, "04"},
            }};
}

} // namespace

void NormComputeTest::billEntryHasTheVolumeAndEachAmountsFormula()
{
    const bom::Entry entry = norms::billEntry(norms::computeNorm(footing(), "2,5"),
                                              QDateTime(QDate(2026, 12, 8), QTime(9, 0)));
    // The volume in the measure's unit, as typed; each amount the rate per 100 м3 × the volume.
    QCOMPARE(entry.volume, (bom::Volume{"м3", 2.5, "2.5"}));
    QCOMPARE(entry.materials.at(3).formula, QStringLiteral("0.005*2.5/100"));
    QCOMPARE(entry.materials.at(3).quantity, 0.005 * 2.5 / 100);
    // «по проекту» has no amount and so no formula.
    QCOMPARE(entry.materials.at(4).formula, QString());
}

void NormComputeTest::readsMeasures_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("multiplier"); // 0: no measure
    QTest::addColumn<QString>("unit");

    QTest::newRow("hundred cubic metres") << "100 м3" << 100.0 << "м3";
    QTest::newRow("one tonne") << "1 т" << 1.0 << "т";
    QTest::newRow("a unit alone") << "шт" << 1.0 << "шт";
    QTest::newRow("a decimal comma, blanks around") << "  0,5  км " << 0.5 << "км";
    QTest::newRow("a number without a unit") << "100" << 0.0 << "";
    QTest::newRow("a multiplier of zero") << "0 м" << 0.0 << "";
    QTest::newRow("nothing") << "" << 0.0 << "";
}

void NormComputeTest::readsMeasures()
{
    QFETCH(QString, text);
    QFETCH(double, multiplier);
    QFETCH(QString, unit);
    const std::optional<norms::Measure> measure = norms::parseMeasure(text);
    QCOMPARE(measure.has_value(), multiplier > 0);
    if (measure)
        QCOMPARE(*measure, (norms::Measure{multiplier, unit}));
}

void NormComputeTest::writesHoursLinesOnlyForHoursItHas()
{
    // A norm of materials alone has no hours lines, and a fractional volume is typed as usual.
    norms::Norm byHand = footing();
    byHand.resources.remove(0, 3);
    QCOMPARE(norms::journalBlock(norms::computeNorm(byHand, "2,5")).mid(1),
             (QStringList{"Объем работ, м3: 2,5", "Необходимые материалы:",
                          "Гвозди строительные, т: 0,000125", "Смеси бетонные, м3: по проекту"}));
    // Hours «по проекту» add nothing to the sums, but their line stays; the machinists' hours
    // are told apart from the workers'.
    norms::Norm byDesign = footing();
    byDesign.resources[0].rate.reset();
    byDesign.resources[2].rate.reset();
    QCOMPARE(norms::journalBlock(norms::computeNorm(byDesign, "25")).mid(5),
             (QStringList{"Затраты труда, чел.-ч: 0", "Затраты труда машинистов, чел.-ч: 0,125",
                          "Машины, маш.-ч: 0"}));
}

void NormComputeTest::refusesABadVolume_data()
{
    QTest::addColumn<QString>("volume");
    QTest::addColumn<QString>("message");

    QTest::newRow("not a number") << "abc"
                                  << "'abc' is not a valid floating point value";
    QTest::newRow("empty") << ""
                           << "'' is not a valid floating point value";
    QTest::newRow("a point where a comma is due") << "2.5"
                                                  << "'2.5' is not a valid floating point value";
    QTest::newRow("zero") << "0"
                          << "Объем работ должен быть больше нуля";
    QTest::newRow("negative") << "-3"
                              << "Объем работ должен быть больше нуля";
    QTest::newRow("an amount beyond range") << "1e308"
                                            << "Floating point overflow";
}

void NormComputeTest::refusesABadVolume()
{
    QFETCH(QString, volume);
    QFETCH(QString, message);
    try {
        norms::computeNorm(footing(), volume);
        QFAIL("computed");
    } catch (const calc::CalcError &error) {
        QCOMPARE(error.message(), message);
    }
}

void NormComputeTest::joinsTheWorkContentWithoutDoubledStops_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("shown");
    QTest::newRow("sentences") << "Установка опалубки.\nУкладка бетона."
                               << "Установка опалубки. Укладка бетона.";
    QTest::newRow("phrases") << "Установка опалубки\nУкладка бетона"
                             << "Установка опалубки; Укладка бетона";
    QTest::newRow("a phrase with its own semicolon, an empty line")
        << "Очистка поверхности;\n\n  Окраска  "
        << "Очистка поверхности; Окраска";
}

void NormComputeTest::joinsTheWorkContentWithoutDoubledStops()
{
    QFETCH(QString, content);
    QFETCH(QString, shown);
    QCOMPARE(norms::workContentText(content), shown);
}

QTEST_GUILESS_MAIN(NormComputeTest)
#include "tst_normcompute.moc"

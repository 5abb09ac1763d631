#include "billcsv.h"
#include "billtexts.h"
#include "totals.h"
#include "units.h"

#include <QTest>

#include <limits>

using namespace bom;

Q_DECLARE_METATYPE(std::optional<double>)
Q_DECLARE_METATYPE(std::optional<qint64>)
Q_DECLARE_METATYPE(bom::Terms)
Q_DECLARE_METATYPE(QList<bom::Entry>)

// Units, totals, packs and money of the bill, away from any window.
class TotalsTest : public QObject
{
    Q_OBJECT

private slots:
    void unitsOfOneKindAreOne_data();
    void unitsOfOneKindAreOne();
    void captionsSplitIntoMaterialAndUnit_data();
    void captionsSplitIntoMaterialAndUnit();
    void packsAreCeilingsWithoutBinarySurprises_data();
    void packsAreCeilingsWithoutBinarySurprises();
    void moneyIsRoundedHalfAwayOncePerRow_data();
    void moneyIsRoundedHalfAwayOncePerRow();
    void totalsSumKeptFiguresPerMaterial();
    void dashRowsAreListedWithoutQuantity();
    void codedMaterialsAreOneRowPerCode_data();
    void codedMaterialsAreOneRowPerCode();
    void linksTakeOnlyUnitsThatConvert_data();
    void linksTakeOnlyUnitsThatConvert();
    void linkedMaterialsJoinTheirResource_data();
    void linkedMaterialsJoinTheirResource();
    void labourAndMachinesAreSummedApartFromPurchases();
    void whatIsBoughtAndWhatItCosts_data();
    void whatIsBoughtAndWhatItCosts();
    void grandTotalSkipsUnpricedAndStopsAtOverflow();
    void shownTextsHaveSixDigits_data();
    void shownTextsHaveSixDigits();
    void cellEditsAreReadOrRefused_data();
    void cellEditsAreReadOrRefused();
};

void TotalsTest::unitsOfOneKindAreOne_data()
{
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("normal");
    QTest::newRow("м3") << "м3"
                        << "м3";
    QTest::newRow("м3 with a stop") << "м3."
                                    << "м3";
    QTest::newRow("куб. метр") << "куб. метр"
                               << "м3";
    QTest::newRow("куб. метр(ов)") << "куб. метр(ов)"
                                   << "м3";
    QTest::newRow("spaces around") << "  м3  "
                                   << "м3";
    QTest::newRow("кг") << "кг"
                        << "кг";
    QTest::newRow("кг with a stop") << "кг."
                                    << "кг";
    QTest::newRow("шт. without a stop") << "шт"
                                        << "шт.";
    QTest::newRow("шт.") << "шт."
                         << "шт.";
    QTest::newRow("кв. метров") << "кв. метров"
                                << "м2";
    QTest::newRow("л.") << "л."
                        << "л";
    QTest::newRow("м.") << "м."
                        << "м";
    QTest::newRow("unknown unit kept") << " 100 м2  ворот "
                                       << "100 м2 ворот";
    QTest::newRow("no unit") << ""
                             << "";
}

void TotalsTest::unitsOfOneKindAreOne()
{
    QFETCH(QString, written);
    QFETCH(QString, normal);
    QCOMPARE(normalUnit(written), normal);
}

void TotalsTest::captionsSplitIntoMaterialAndUnit_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("unit");
    QTest::newRow("comma") << "Раствор, м3"
                           << "Раствор"
                           << "м3";
    QTest::newRow("no space after comma") << "Олифа,кг "
                                          << "Олифа"
                                          << "кг";
    QTest::newRow("unit with a stop") << "Кирпич глиняный обыкновенный, шт."
                                      << "Кирпич глиняный обыкновенный"
                                      << "шт.";
    QTest::newRow("unit after a full stop") << "Каменная мелочь. куб. метр"
                                            << "Каменная мелочь"
                                            << "куб. метр";
    QTest::newRow("trailing dash") << "Площадь окрашиваемой поверхности, м2  -"
                                   << "Площадь окрашиваемой поверхности"
                                   << "м2";
    QTest::newRow("size in the name") << "Доски 19-22 мм, м3"
                                      << "Доски 19-22 мм"
                                      << "м3";
    QTest::newRow("no unit at all") << "Щиты опалубки 25 мм."
                                    << "Щиты опалубки 25 мм."
                                    << "";
    QTest::newRow("decimal comma is not a unit") << "Кладка 1,5 кирпича"
                                                 << "Кладка 1,5 кирпича"
                                                 << "";
}

void TotalsTest::captionsSplitIntoMaterialAndUnit()
{
    QFETCH(QString, caption);
    QFETCH(QString, name);
    QFETCH(QString, unit);
    const Caption parts = splitCaption(caption);
    QCOMPARE(parts.name, name);
    QCOMPARE(parts.unit, unit);
}

void TotalsTest::packsAreCeilingsWithoutBinarySurprises_data()
{
    QTest::addColumn<double>("quantity");
    QTest::addColumn<double>("reserve");
    QTest::addColumn<double>("pack");
    QTest::addColumn<double>("packs");
    QTest::newRow("5 kg in 2,5 kg packs") << 5.0 << 0.0 << 2.5 << 2.0;
    QTest::newRow("7,5 m3 in 2,5 m3") << 7.5 << 0.0 << 2.5 << 3.0;
    QTest::newRow("0,3 in 0,1: binary quotient below 3") << 0.3 << 0.0 << 0.1 << 3.0;
    QTest::newRow("0,7 in 0,1") << 0.7 << 0.0 << 0.1 << 7.0;
    QTest::newRow("1,1 with 10 % in 1,21: binary quotient above 1") << 1.1 << 10.0 << 1.21 << 1.0;
    QTest::newRow("100 with 10 % in 11") << 100.0 << 10.0 << 11.0 << 10.0;
    QTest::newRow("a hair over a multiple gains a pack") << 5.0000001 << 0.0 << 2.5 << 3.0;
    QTest::newRow("just over one pack") << 2.5000001 << 0.0 << 2.5 << 2.0;
    QTest::newRow("reserve tips over") << 5.0 << 1.0 << 2.5 << 3.0;
    QTest::newRow("less than a pack") << 0.4 << 0.0 << 25.0 << 1.0;
    QTest::newRow("tiny quantity still one pack") << 1e-300 << 0.0 << 2.5 << 1.0;
    QTest::newRow("huge quantity") << 1e300 << 0.0 << 2.5 << 4e299;
    QTest::newRow("nothing to buy") << 0.0 << 10.0 << 2.5 << 0.0;
    QTest::newRow("negative quantity buys nothing") << -7.5 << 0.0 << 2.5 << 0.0;
}

void TotalsTest::packsAreCeilingsWithoutBinarySurprises()
{
    QFETCH(double, quantity);
    QFETCH(double, reserve);
    QFETCH(double, pack);
    QFETCH(double, packs);
    QCOMPARE(packsFor(withReserve(quantity, reserve), pack), packs);
}

void TotalsTest::moneyIsRoundedHalfAwayOncePerRow_data()
{
    QTest::addColumn<double>("quantity");
    QTest::addColumn<std::optional<double>>("packs");
    QTest::addColumn<qint64>("price");
    QTest::addColumn<std::optional<qint64>>("sum");
    const std::optional<double> byUnit;
    QTest::newRow("packs times price")
        << 4.9 << std::optional<double>(2) << qint64(35050) << std::optional<qint64>(70100);
    QTest::newRow("by the unit") << 3.0 << byUnit << qint64(1250) << std::optional<qint64>(3750);
    QTest::newRow("half a kopeck goes up")
        << 0.25 << byUnit << qint64(2) << std::optional<qint64>(1);
    QTest::newRow("below half goes down")
        << 0.24 << byUnit << qint64(2) << std::optional<qint64>(0);
    QTest::newRow("1,005 at 1 rouble: half in decimal, below half in binary")
        << 1.005 << byUnit << qint64(100) << std::optional<qint64>(101);
    QTest::newRow("2,675 at 1 rouble")
        << 2.675 << byUnit << qint64(100) << std::optional<qint64>(268);
    QTest::newRow("negative quantity costs nothing")
        << -3.0 << byUnit << qint64(100) << std::optional<qint64>(0);
    QTest::newRow("free") << 12.0 << byUnit << qint64(0) << std::optional<qint64>(0);
    QTest::newRow("beyond any budget") << 1e300 << byUnit << qint64(100) << std::optional<qint64>();
    QTest::newRow("just within") << 9e13 << byUnit << qint64(100)
                                 << std::optional<qint64>(kMaxKopecks);
}

void TotalsTest::moneyIsRoundedHalfAwayOncePerRow()
{
    QFETCH(double, quantity);
    QFETCH(std::optional<double>, packs);
    QFETCH(qint64, price);
    QFETCH(std::optional<qint64>, sum);
    QCOMPARE(sumFor(packs.value_or(quantity), price), sum);
}

namespace {

Entry entry(std::initializer_list<Material> materials)
{
    return {QDateTime(QDate(2026, 12, 7), QTime(10, 0), Qt::UTC), QStringLiteral("работа"),
            QString(), materials};
}

} // namespace

void TotalsTest::totalsSumKeptFiguresPerMaterial()
{
    Bill bill;
    // Each figure alone shows as 0,1 and 0,2; the sum of the kept doubles is what counts.
    bill.entries = {entry({materialFromCaption(QStringLiteral("Раствор, м3"), 0.1),
                           materialFromCaption(QStringLiteral("Олифа, кг"), 1.5)}),
                    entry({materialFromCaption(QStringLiteral(" Раствор , куб. метр(ов)"), 0.2),
                           materialFromCaption(QStringLiteral("Олифа,кг. "), 2.0),
                           materialFromCaption(QStringLiteral("Раствор, кг"), 7.0)})};
    bill.terms.insert({QStringLiteral("Олифа"), QStringLiteral("кг")},
                      Terms{10, 2.5, 40000, PriceBasis::PerPack});
    const Totals totals = computeTotals(bill);
    QCOMPARE(totals.rows.size(), 3);
    QCOMPARE(totals.rows[0].key, (MaterialKey{QStringLiteral("Раствор"), QStringLiteral("м3")}));
    QCOMPARE(totals.rows[0].quantity, 0.1 + 0.2);
    QCOMPARE(totals.rows[0].counted, 2);
    QCOMPARE(totals.rows[1].key, (MaterialKey{QStringLiteral("Олифа"), QStringLiteral("кг")}));
    QCOMPARE(totals.rows[1].quantity, 3.5);
    QCOMPARE(*totals.rows[1].withReserve, 3.85);
    QCOMPARE(*totals.rows[1].packs, 2.0);
    QCOMPARE(*totals.rows[1].sumKopecks, qint64(80000));
    QCOMPARE(totals.rows[2].key, (MaterialKey{QStringLiteral("Раствор"), QStringLiteral("кг")}));
    QCOMPARE(totals.grandKopecks, qint64(80000));
    QCOMPARE(totals.unpriced, 2);
}

namespace {

Material coded(const char *code, const char *name, const char *unit, std::optional<double> amount,
               MaterialKind kind = MaterialKind::Buy)
{
    return material(QString::fromUtf8(name), QString::fromUtf8(unit), amount, kind, QString(),
                    QStringLiteral("ГЭСН 06-01-001-01"), QString::fromUtf8(code));
}

} // namespace

void TotalsTest::codedMaterialsAreOneRowPerCode_data()
{
    QTest::addColumn<QList<Entry>>("entries");
    QTest::addColumn<QStringList>("rows"); // code|name|unit|quantity|to buy
    // A roofing norm lists both layers under one group code: neither may vanish into the other.
    QTest::newRow("one group code, two layers: two rows")
        << QList<Entry>{entry(
               {coded("12.1.02.06", "Материалы рулонные кровельные для верхнего слоя", "м2", 112),
                coded("12.1.02.06", "Материалы рулонные кровельные для нижних слоев", "м2", 230)})}
        << QStringList{"12.1.02.06|Материалы рулонные кровельные для верхнего слоя|м2|112|112",
                       "12.1.02.06|Материалы рулонные кровельные для нижних слоев|м2|230|230"};
    QTest::newRow("one code, one name, two entries: one row with its terms")
        << QList<Entry>{entry({coded("01.7.15.06-0111", "Бетон", "м3", 2)}),
                        entry({coded("01.7.15.06-0111", "Бетон", "м3", 3)})}
        << QStringList{"01.7.15.06-0111|Бетон|м3|5|5,5"};
    QTest::newRow("one code and name in two units: two rows")
        << QList<Entry>{entry({coded("01.7.15.06-0111", "Бетон", "м3", 2),
                               coded("01.7.15.06-0111", "Бетон", "т", 3)})}
        << QStringList{"01.7.15.06-0111|Бетон|м3|2|2,2", "01.7.15.06-0111|Бетон|т|3|3"};
    QTest::newRow("the same name and unit without a code are one row")
        << QList<Entry>{entry({coded("", "Бетон", "м3", 1)}), entry({coded("", "Бетон", "м3", 2)})}
        << QStringList{"|Бетон|м3|3|3"};
    QTest::newRow("a coded material stays apart from its namesake without a code")
        << QList<Entry>{entry(
               {coded("", "Бетон", "м3", 1), coded("04.1.02.05-0003", "Бетон", "м3", 2)})}
        << QStringList{"|Бетон|м3|1|1", "04.1.02.05-0003|Бетон|м3|2|2"};
    QTest::newRow("two codes of one name are two rows")
        << QList<Entry>{entry({coded("04.1.02.05-0003", "Бетон", "м3", 1),
                               coded("04.1.02.05-0004", "Бетон", "м3", 2)})}
        << QStringList{"04.1.02.05-0003|Бетон|м3|1|1", "04.1.02.05-0004|Бетон|м3|2|2"};
}

void TotalsTest::codedMaterialsAreOneRowPerCode()
{
    QFETCH(QList<Entry>, entries);
    QFETCH(QStringList, rows);
    Bill bill;
    bill.entries = entries;
    bill.terms.insert(
        {QStringLiteral("Бетон"), QStringLiteral("м3"), QStringLiteral("01.7.15.06-0111")},
        Terms{10});
    QStringList shown;
    for (const Total &row : computeTotals(bill).rows)
        shown.append(QStringList{row.key.code, row.key.name, row.key.unit,
                                 quantityText(row.quantity), quantityText(*row.toBuy)}
                         .join(u'|'));
    QCOMPARE(shown, rows);
}

void TotalsTest::linksTakeOnlyUnitsThatConvert_data()
{
    QTest::addColumn<QString>("materialUnit");
    QTest::addColumn<QString>("resourceUnit");
    QTest::addColumn<double>("factor"); // 0: refused
    QTest::newRow("the same unit") << "куб. метр"
                                   << "м3" << 1.0;
    QTest::newRow("kilograms to tonnes") << "кг"
                                         << "т" << 0.001;
    QTest::newRow("tonnes to kilograms") << "т"
                                         << "кг" << 1000.0;
    QTest::newRow("litres to cubic metres") << "л"
                                            << "м3" << 0.001;
    QTest::newRow("square metres are no tonnes") << "м2"
                                                 << "т" << 0.0;
    QTest::newRow("pieces are no thousands of pieces") << "шт."
                                                       << "1000 шт" << 0.0;
    QTest::newRow("cubic metres are no kilograms") << "м3"
                                                   << "кг" << 0.0;
}

void TotalsTest::linksTakeOnlyUnitsThatConvert()
{
    QFETCH(QString, materialUnit);
    QFETCH(QString, resourceUnit);
    QFETCH(double, factor);
    const Material page = material(QStringLiteral("Бетон"), materialUnit, 1);
    const LinkEdit edit = linkOf(page.key, QStringLiteral("04.1.02.05-0006"),
                                 QStringLiteral("Смеси бетонные"), resourceUnit);
    QCOMPARE(edit.link.has_value(), factor > 0);
    if (factor > 0) {
        QCOMPARE(edit.link->factor, factor);
        return;
    }
    QCOMPARE(edit.refusal->reason,
             QStringLiteral("Единица ресурса «%1» не совпадает с единицей материала «%2» и не "
                            "пересчитывается в нее: связать можно ресурс в той же единице, т и "
                            "кг, м3 и л")
                 .arg(resourceUnit, page.key.unit));
}

void TotalsTest::linkedMaterialsJoinTheirResource_data()
{
    QTest::addColumn<QList<Entry>>("entries");
    QTest::addColumn<QString>("resourceUnit");
    QTest::addColumn<QStringList>("rows"); // code|name|unit|quantity|linked
    const char *concrete = "Смеси бетонные тяжелого бетона (БСТ), класс B15 (М200)";
    QTest::newRow("a page's concrete joins the norm's, under the norm's name")
        << QList<Entry>{entry({coded("", "Бетон", "м3", 2)}),
                        entry({coded("04.1.02.05-0006", concrete, "м3", 3)})}
        << "м3" << QStringList{QStringLiteral("04.1.02.05-0006|%1|м3|5|Бетон, м3").arg(concrete)};
    QTest::newRow("without the norm, the catalogue's name")
        << QList<Entry>{entry({coded("", "Бетон", "м3", 2)})} << "м3"
        << QStringList{QStringLiteral("04.1.02.05-0006|Смеси бетонные B15|м3|2|Бетон, м3")};
    QTest::newRow("kilograms linked to a resource in tonnes count in tonnes")
        << QList<Entry>{entry({coded("", "Бетон", "кг", 2500)})} << "т"
        << QStringList{QStringLiteral("04.1.02.05-0006|Смеси бетонные B15|т|2,5|Бетон, кг")};
}

void TotalsTest::linkedMaterialsJoinTheirResource()
{
    QFETCH(QList<Entry>, entries);
    QFETCH(QString, resourceUnit);
    QFETCH(QStringList, rows);
    Bill bill;
    bill.entries = entries;
    const MaterialKey page = entries.first().materials.first().key;
    const LinkEdit link = linkOf(page, QStringLiteral("04.1.02.05-0006"),
                                 QStringLiteral("Смеси бетонные B15"), resourceUnit);
    QVERIFY(link.link);
    bill.links.insert(page, *link.link);
    QStringList shown;
    for (const Total &row : computeTotals(bill).rows)
        shown.append(QStringList{row.key.code, row.key.name, row.key.unit,
                                 quantityText(row.quantity), billtexts::linkedText(row)}
                         .join(u'|'));
    QCOMPARE(shown, rows);
}

void TotalsTest::labourAndMachinesAreSummedApartFromPurchases()
{
    Bill bill;
    Entry concrete =
        entry({coded("91.14.02-001", "Автомобили", "маш.-ч", 1.25, MaterialKind::Machine),
               coded("1-100-20", "Затраты труда", "чел.-ч", 45, MaterialKind::Labour),
               coded("01.7.15.06-0111", "Бетон", "м3", 25.5)});
    concrete.count = 2;
    bill.entries = {concrete, entry({coded("2", "Машинисты", "чел.-ч", 3.5, MaterialKind::Labour),
                                     coded("91.05.05-015", "Краны", "маш.-ч", std::nullopt,
                                           MaterialKind::Machine)})};
    const Totals totals = computeTotals(bill);
    // Only the concrete is bought; labour comes before machines, each × its entry's count, and a
    // crane "по проекту" is named as having no rate.
    QCOMPARE(totals.rows.size(), 1);
    QStringList hours;
    for (const HoursTotal &row : totals.hours)
        hours.append(row.key.code + u' ' + quantityText(row.quantity) + u' ' + row.key.unit);
    QCOMPARE(hours, (QStringList{"1-100-20 90 чел.-ч", "2 3,5 чел.-ч", "91.14.02-001 2,5 маш.-ч"}));
    // The machinists' line «2» is summed apart from the workers', as the journal states it.
    QCOMPARE(billtexts::hoursSumTexts(totals),
             (QStringList{"Затраты труда, чел.-ч: 90", "Затраты труда машинистов, чел.-ч: 3,5",
                          "Машины, маш.-ч: 2,5"}));
    bill.entries.removeLast();
    QCOMPARE(billtexts::hoursSumTexts(computeTotals(bill)),
             (QStringList{"Затраты труда, чел.-ч: 90", "Машины, маш.-ч: 2,5"}));
    QCOMPARE(totals.unrated, QStringList{"Краны, маш.-ч"});
}

void TotalsTest::dashRowsAreListedWithoutQuantity()
{
    Bill bill;
    bill.entries = {entry({material(QStringLiteral("Смазка"), QStringLiteral("кг"), std::nullopt),
                           material(QStringLiteral("Бетон"), QStringLiteral("м3"), 1.25)}),
                    entry({material(QStringLiteral("Смазка"), QStringLiteral("кг"), std::nullopt),
                           material(QStringLiteral("Бетон"), QStringLiteral("м3"), std::nullopt)})};
    bill.terms.insert({QStringLiteral("Смазка"), QStringLiteral("кг")},
                      Terms{0, std::nullopt, 100});
    const Totals totals = computeTotals(bill);
    // A material with no figure anywhere is named below the table, not listed in it.
    QCOMPARE(totals.rows.size(), 1);
    QCOMPARE(totals.unrated, (QStringList{"Смазка, кг", "Бетон, м3"}));
    QCOMPARE(billtexts::unratedText(totals), QStringLiteral("без нормы: 2"));
    const Total &concrete = totals.rows[0];
    QCOMPARE(concrete.quantity, 1.25);
    QCOMPARE(concrete.counted, 1);
    QCOMPARE(concrete.dashes, 1);
    QCOMPARE(totals.unpriced, 1);
}

void TotalsTest::whatIsBoughtAndWhatItCosts_data()
{
    QTest::addColumn<QList<Entry>>("entries");
    QTest::addColumn<Terms>("terms");
    QTest::addColumn<QStringList>("cells"); // the row of «Кирпич», or none
    QTest::addColumn<QString>("grand");

    const auto bricks = [](double quantity, int count = 1) {
        Entry made = entry({material(QStringLiteral("Кирпич"), QStringLiteral("шт."), quantity),
                            material(QStringLiteral("Объем кладки"), QStringLiteral("м3"), 15.4,
                                     MaterialKind::WorkVolume)});
        made.count = count;
        return made;
    };
    QTest::newRow("a price per piece is not a price per pack")
        << QList{bricks(6102.7)} << Terms{0, 480, 1850, PriceBasis::PerUnit}
        << QStringList{"Кирпич", "шт.", "6102,7", "0", "6102,7",         "6103",
                       "480",    "13",  "18,50",  "",  "112\u00A0905,50"}
        << "Итого: 112\u00A0905,50 руб.";
    QTest::newRow("a price per pack buys whole packs")
        << QList{bricks(6102.7)} << Terms{0, 480, 900000, PriceBasis::PerPack}
        << QStringList{"Кирпич",         "шт.", "6102,7", "0", "6102,7",
                       "6103",           "480", "13",     "",  "9\u00A0000,00",
                       "117\u00A0000,00"}
        << "Итого: 117\u00A0000,00 руб.";
    // Money has its thousands apart, as the page shows it; a file for a spreadsheet does not.
    QTest::newRow("a price in millions")
        << QList{bricks(1000)} << Terms{0, std::nullopt, 123456789, PriceBasis::PerUnit}
        << QStringList{"Кирпич",
                       "шт.",
                       "1000",
                       "0",
                       "1000",
                       "1000",
                       "",
                       "",
                       "1\u00A0234\u00A0567,89",
                       "",
                       "1\u00A0234\u00A0567\u00A0890,00"}
        << "Итого: 1\u00A0234\u00A0567\u00A0890,00 руб.";
    // What to buy of a material by measure has the page's digits; the quantity keeps six.
    QTest::newRow("cubic metres to buy")
        << QList{entry({material(QStringLiteral("Кирпич"), QStringLiteral("м3"), 6.85824)})}
        << Terms{}
        << QStringList{"Кирпич", "м3", "6,85824", "0", "6,85824", "6,859", "", "", "", "", "—"}
        << "Итого: 0,00 руб. (без цены: 1)";
    // Rounded up at the digits shown, never below the need; 43,09 is a hair above in binary.
    QTest::newRow("bulk is bought up to the digits shown")
        << QList{entry({material(QStringLiteral("Кирпич"), QStringLiteral("м3"), 43.094)})}
        << Terms{}
        << QStringList{"Кирпич", "м3", "43,094", "0", "43,094", "43,1", "", "", "", "", "—"}
        << "Итого: 0,00 руб. (без цены: 1)";
    QTest::newRow("bulk at the digits shown stays")
        << QList{entry({material(QStringLiteral("Кирпич"), QStringLiteral("м3"), 43.09)})}
        << Terms{}
        << QStringList{"Кирпич", "м3", "43,09", "0", "43,09", "43,09", "", "", "", "", "—"}
        << "Итого: 0,00 руб. (без цены: 1)";
    QTest::newRow("reserve, then whole pieces")
        << QList{bricks(100.2)} << Terms{5, std::nullopt, 100, PriceBasis::PerUnit}
        << QStringList{"Кирпич", "шт.", "100,2", "5", "105,21", "106", "", "", "1,00", "", "106,00"}
        << "Итого: 106,00 руб.";
    QTest::newRow("twelve equal works are one entry × 12")
        << QList{bricks(10.5, 12)} << Terms{}
        << QStringList{"Кирпич", "шт.", "126", "0", "126", "126", "", "", "", "", "—"}
        << "Итого: 0,00 руб. (без цены: 1)";
    QTest::newRow("a price per pack without a pack size says so")
        << QList{bricks(10)} << Terms{0, std::nullopt, 5000, PriceBasis::PerPack}
        << QStringList{"Кирпич", "шт.", "10", "0", "10", "10", "", "", "", "50,00", "нет фасовки"}
        << "Итого: 0,00 руб. (без цены: 1)";
    QTest::newRow("a sum too large says so in the row and the total")
        << QList{bricks(1e15)} << Terms{0, std::nullopt, 1000000, PriceBasis::PerUnit}
        << QStringList{"Кирпич", "шт.", "1E015",          "0", "1E015",         "1E015",
                       "",       "",    "10\u00A0000,00", "",  "слишком велика"}
        << "Итого: — (сумма слишком велика)";
    // 1,5E308 bricks twice are beyond a double: named, and left out of the totals, counted.
    QTest::newRow("a quantity too large says so and is left out")
        << QList{bricks(1.5e308, 2)} << Terms{0, std::nullopt, 1850, PriceBasis::PerUnit}
        << QStringList{"Кирпич", "шт.", "слишком велика", "0", "—", "—", "", "", "18,50", "", "—"}
        << "Итого: 0,00 руб. (не учтено, количество слишком велико: 1)";
    QTest::newRow("nothing to buy leaves the table")
        << QList{bricks(0)} << Terms{} << QStringList{} << "Итого: 0,00 руб.";
}

void TotalsTest::whatIsBoughtAndWhatItCosts()
{
    QFETCH(QList<Entry>, entries);
    QFETCH(Terms, terms);
    QFETCH(QStringList, cells);
    QFETCH(QString, grand);
    Bill bill;
    bill.entries = entries;
    bill.terms.insert({QStringLiteral("Кирпич"), QStringLiteral("шт.")}, terms);
    const Totals totals = computeTotals(bill);
    // The volume of work never becomes a purchase.
    QCOMPARE(totals.rows.size(), cells.isEmpty() ? 0 : 1);
    if (!cells.isEmpty())
        QCOMPARE(billtexts::totalsCells(totals.rows[0]), cells);
    QCOMPARE(billtexts::grandTotalText(totals), grand);
}

void TotalsTest::grandTotalSkipsUnpricedAndStopsAtOverflow()
{
    Bill bill;
    bill.entries = {entry({material(QStringLiteral("А"), QStringLiteral("кг"), 2.0),
                           material(QStringLiteral("Б"), QStringLiteral("кг"), 1e300),
                           material(QStringLiteral("В"), QStringLiteral("кг"), 3.0)})};
    bill.terms.insert({QStringLiteral("А"), QStringLiteral("кг")}, Terms{0, std::nullopt, 150});
    bill.terms.insert({QStringLiteral("Б"), QStringLiteral("кг")}, Terms{0, std::nullopt, 100});
    Totals totals = computeTotals(bill);
    // Б is priced, but its sum cannot be shown: the total says so rather than leave it out.
    QCOMPARE(totals.grandKopecks, qint64(300));
    QCOMPARE(totals.unpriced, 1);
    QVERIFY(totals.rows[1].sumTooLarge);
    QVERIFY(totals.overflow);

    bill.entries = {entry({material(QStringLiteral("А"), QStringLiteral("кг"), 6e13),
                           material(QStringLiteral("В"), QStringLiteral("кг"), 6e13)})};
    bill.terms.insert({QStringLiteral("В"), QStringLiteral("кг")}, Terms{0, std::nullopt, 100});
    totals = computeTotals(bill);
    QVERIFY(totals.rows[0].sumKopecks);
    QVERIFY(totals.rows[1].sumKopecks);
    QVERIFY(totals.overflow);
}

void TotalsTest::shownTextsHaveSixDigits_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("sum of 0,1 and 0,2") << 0.1 + 0.2 << "0,3";
    QTest::newRow("six digits") << 1234.5678 << "1234,57";
    QTest::newRow("a million") << 1e6 << "1E006";
    QTest::newRow("below the fixed form") << 0.00001234 << "1,234E-005";
    QTest::newRow("huge") << 1e300 << "1E300";
    QTest::newRow("tiny") << 1e-300 << "1E-300";
}

void TotalsTest::shownTextsHaveSixDigits()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(quantityText(value), text);
}

void TotalsTest::cellEditsAreReadOrRefused_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("value"); // -1: none
    QTest::addColumn<QString>("refusal");
    QTest::newRow("reserve") << "reserve"
                             << "7,5" << 7.5 << "";
    QTest::newRow("empty reserve is none") << "reserve"
                                           << "" << 0.0 << "";
    QTest::newRow("negative reserve") << "reserve"
                                      << "-5" << 0.0 << "Запас не может быть отрицательным";
    QTest::newRow("text as reserve")
        << "reserve"
        << "много" << 0.0 << "Запас — это число процентов, например 5 или 7,5";
    QTest::newRow("pack") << "pack"
                          << "2,5" << 2.5 << "";
    QTest::newRow("empty pack: by the unit") << "pack"
                                             << " " << -1.0 << "";
    QTest::newRow("pack of 0") << "pack"
                               << "0" << -1.0
                               << "Фасовка должна быть больше нуля; пустая клетка — продается "
                                  "поштучно или на вес";
    QTest::newRow("pack with a point") << "pack"
                                       << "2.5" << -1.0 << "Фасовка — это число, например 2,5";
    QTest::newRow("price") << "price"
                           << "12,34" << 1234.0 << "";
    QTest::newRow("free") << "price"
                          << "0" << 0.0 << "";
    QTest::newRow("one work") << "count"
                              << "1" << 1.0 << "";
    QTest::newRow("twelve works") << "count"
                                  << "12" << 12.0 << "";
    QTest::newRow("no work") << "count"
                             << "0" << -1.0 << "Количество работ — целое число от 1 до 1000000";
    QTest::newRow("half a work") << "count"
                                 << "2,5" << -1.0
                                 << "Количество работ — целое число от 1 до 1000000";
    QTest::newRow("price in whole roubles") << "price"
                                            << "350" << 35000.0 << "";
    QTest::newRow("price with a tenth of a kopeck")
        << "price"
        << "12,345" << -1.0
        << "Цена указывается с точностью до копейки: не больше двух знаков после запятой";
    QTest::newRow("negative price") << "price"
                                    << "-1" << -1.0 << "Цена не может быть отрицательной";
    QTest::newRow("text price") << "price"
                                << "12 руб" << -1.0
                                << "Цена — это число рублей, например 350 или 12,50";
}

void TotalsTest::cellEditsAreReadOrRefused()
{
    QFETCH(QString, column);
    QFETCH(QString, typed);
    QFETCH(double, value);
    QFETCH(QString, refusal);
    std::optional<Refusal> refused;
    std::optional<double> read;
    if (column == u"reserve") {
        const ReserveEdit edit = readReserve(typed);
        refused = edit.refusal;
        read = edit.percent;
    } else if (column == u"pack") {
        const PackSizeEdit edit = readPackSize(typed);
        refused = edit.refusal;
        read = edit.size;
    } else if (column == u"count") {
        const CountEdit edit = readCount(typed);
        refused = edit.refusal;
        read = edit.count;
    } else {
        const PriceEdit edit = readPrice(typed);
        refused = edit.refusal;
        if (edit.kopecks)
            read = double(*edit.kopecks);
    }
    QCOMPARE(refused ? refused->reason : QString(), refusal);
    if (refusal.isEmpty())
        QCOMPARE(read.value_or(-1), value);
}

QTEST_GUILESS_MAIN(TotalsTest)
#include "tst_totals.moc"

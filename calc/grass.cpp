#include "grass.h"

namespace calc {

namespace {

constexpr GrassRate kUnknown{};

// A zero rate is itself a sourced figure: the norm of the way lists the work and the materials,
// and this one is not among them.
constexpr GrassRate kNotByHand{0.0L, nullptr,
                               "нет в составе работ ГЭСН 27-08-001-23 (ред. 2022) и в материалах "
                               "ЭСНиЕРс-01-07-013-1"};
constexpr GrassRate kNotByMachine{0.0L, nullptr, "нет в материалах ЭСНиЕРс-01-07-014-1"};
constexpr GrassRate kNotByHydroseeding{0.0L, nullptr,
                                       "нет в составе работ ГЭСН 27-08-001-22 (ред. 2022)"};

// Figures per m2 converted from the norms' own unit of 1000 m2 (docs/norms.md gives the pages
// they were read from). Seeds, fertilizers, emulsions and sawdust of hydroseeding, and the
// fertilizers of sowing by hand, are used by the work, but no published quantity was read.
constexpr GrassRateTable kRates{{
    {
        kNotByHand,
        kNotByHand,
        {0.02L, "кг/м2", "ЭСНиЕРс-01-07-013-1 «Посев газонных трав вручную»: 20 кг на 1000 м2"},
        {0.10L, "м3/м2", "слой 10 см, ГЭСН 27-08-001-23, ред. 2022, на 1000 м2"},
        kUnknown,
        kNotByHand,
        kNotByHand,
        kNotByHand,
    },
    {
        kNotByMachine,
        kNotByMachine,
        {0.02L, "кг/м2",
         "ЭСНиЕРс-01-07-014-1 «Посев газонных трав механизированным способом»: 20 кг на 1000 м2"},
        kNotByMachine,
        kNotByMachine,
        kNotByMachine,
        kNotByMachine,
        kNotByMachine,
    },
    {
        kNotByHydroseeding,
        kNotByHydroseeding,
        kUnknown,
        kNotByHydroseeding,
        kUnknown,
        kUnknown,
        kUnknown,
        kUnknown,
    },
}};

constexpr GrassWayRates kNoWay{kUnknown, kUnknown, kUnknown, kUnknown,
                               kUnknown, kUnknown, kUnknown, kUnknown};

const GrassWayRates &ratesOf(const GrassRateTable &rates, int way)
{
    const bool known = way >= 0 && way < kGrassWayCount;
    return known ? rates[static_cast<std::size_t>(way)] : kNoWay;
}

} // namespace

const GrassRateTable &grassRates()
{
    return kRates;
}

GrassRate *grassRateOf(GrassRateTable &rates, int way, int row)
{
    if (way < 0 || way >= kGrassWayCount || row < 0 || row >= 8)
        return nullptr;
    GrassWayRates &cells = rates[static_cast<std::size_t>(way)];
    GrassRate *const rows[] = {&cells.turf,          &cells.woodenPins,  &cells.seeds,
                               &cells.vegetableSoil, &cells.fertilizers, &cells.bitumenEmulsion,
                               &cells.latexEmulsion, &cells.sawdust};
    return rows[row];
}

GrassMaterials computeGrassMaterials(const GrassInput &input, int way, const GrassRateTable &rates)
{
    const Extended length = input.lengthM.value();
    const Extended width = input.widthM.value();
    const double area = keptAsDouble(length * width);

    const GrassWayRates &row = ratesOf(rates, way);

    return {
        area,
        figureOf(row.turf, area),
        figureOf(row.woodenPins, area),
        figureOf(row.seeds, area),
        figureOf(row.vegetableSoil, area),
        figureOf(row.fertilizers, area),
        figureOf(row.bitumenEmulsion, area),
        figureOf(row.latexEmulsion, area),
        figureOf(row.sawdust, area),
    };
}

FigureBases grassBases(int way, const GrassRateTable &rates)
{
    if (way < 0 || way >= kGrassWayCount)
        return FigureBases(8, choiceBasis("выберите вид работ"));
    const GrassWayRates &row = ratesOf(rates, way);
    FigureBases bases;
    for (const GrassRate *rate :
         {&row.turf, &row.woodenPins, &row.seeds, &row.vegetableSoil, &row.fertilizers,
          &row.bitumenEmulsion, &row.latexEmulsion, &row.sawdust})
        bases.append(basisOf(*rate, "площадь"));
    return bases;
}

} // namespace calc

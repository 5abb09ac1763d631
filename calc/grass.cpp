#include "grass.h"

namespace calc {

namespace {

constexpr const char *kNoNorm = "норма не задана";
constexpr GrassRate kUnknown{std::nullopt, kNoNorm};

// A zero rate is itself a sourced figure: the norm of the way lists the work and the materials,
// and this one is not among them.
constexpr GrassRate kNotByHand{0.0L, "не используется: нет в составе работ ГЭСН 27-08-001-23 "
                                     "(ред. 2022) и в материалах ЭСНиЕРс-01-07-013-1"};
constexpr GrassRate kNotByMachine{0.0L, "не используется: нет в материалах ЭСНиЕРс-01-07-014-1"};
constexpr GrassRate kNotByHydroseeding{
    0.0L, "не используется: нет в составе работ ГЭСН 27-08-001-22 (ред. 2022)"};

// Figures per m2 converted from the norms' own unit of 1000 m2 (docs/norms.md gives the pages
// they were read from). Seeds, fertilizers, emulsions and sawdust of hydroseeding, and the
// fertilizers of sowing by hand, are used by the work, but no published quantity was read.
constexpr GrassRateTable kRates{{
    {
        kNotByHand,
        kNotByHand,
        {0.02L, "Семена трав = площадь × 0,02 кг/м2 (ЭСНиЕРс-01-07-013-1 «Посев газонных трав "
                "вручную»: 20 кг на 1000 м2)"},
        {0.10L, "Земля растительная = площадь × 0,10 м3/м2 (слой 10 см, ГЭСН 27-08-001-23, "
                "ред. 2022, на 1000 м2)"},
        kUnknown,
        kNotByHand,
        kNotByHand,
        kNotByHand,
    },
    {
        kNotByMachine,
        kNotByMachine,
        {0.02L, "Семена трав = площадь × 0,02 кг/м2 (ЭСНиЕРс-01-07-014-1 «Посев газонных трав "
                "механизированным способом»: 20 кг на 1000 м2)"},
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

} // namespace

const GrassRateTable &grassRates()
{
    return kRates;
}

GrassMaterials computeGrassMaterials(const GrassInput &input, int way, const GrassRateTable &rates)
{
    const Extended length = input.lengthM.value();
    const Extended width = input.widthM.value();
    const double area = keptAsDouble(length * width);

    const bool known = way >= 0 && way < kGrassWayCount;
    const GrassWayRates &row = known ? rates[static_cast<std::size_t>(way)] : kNoWay;

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

} // namespace calc

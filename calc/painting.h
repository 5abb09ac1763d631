#pragma once

#include "extended.h"
#include "figurebasis.h"
#include "inputnumber.h"
#include "resulttext.h"

#include <array>

namespace calc {

// Consumption per 100 m2 of painted surface for one number of coats: the handbook's measure,
// kept as printed (docs/norms.md, docs/decisions.md "Painting rates").
struct PaintingRates
{
    Extended primingOilKgPer100M2;
    Extended compositionKgPer100M2;
    Extended redOxideKgPer100M2;
    Extended paintOilKgPer100M2;
};

// One coat, two coats. The composition has its own rate although it equals the sum of its two
// components: it is not computed as their sum.
inline constexpr std::array<PaintingRates, 2> kPaintingRates{{
    {2.8L, 18.7L, 2.7L, 16},
    {2.9L, 25.1L, 5.8L, 19.3L},
}};

// Ground paints go by the drying oil of the priming, not by the area.
inline constexpr Extended kGroundPaintsKgPerKgOil = 0.2L;
inline constexpr Extended kRagsKgPer100M2 = 0.1L;
inline constexpr Extended kPaintingRateMeasureM2 = 100;

inline constexpr ResultFormat kPaintingFormat = kFormat4x3;

struct PaintingResult
{
    double primingOilKg;
    double groundPaintsKg;
    double compositionKg;
    double redOxideKg;
    double paintOilKg;
    double ragsKg;
};

// Reads the first side, then the second, and keeps their product as a double. Throws CalcError.
double paintedAreaM2(const InputNumber &firstSideM, const InputNumber &secondSideM);

// coatsIndex 0 is one coat, 1 two coats. All six quantities are formed before any is returned,
// so an overflow in the last leaves nothing half done. Throws CalcError.
PaintingResult computePainting(double areaM2, int coatsIndex);

// How the area and the six materials are formed, in page order.
FigureBases paintingBases(int coatsIndex);

} // namespace calc

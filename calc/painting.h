#pragma once

#include "extended.h"
#include "inputnumber.h"
#include "resulttext.h"

#include <array>

namespace calc {

// Consumption per m2 of painted surface for one number of coats.
struct PaintingRates
{
    Extended primingOilKgPerM2;
    Extended compositionKgPerM2;
    Extended redOxideKgPerM2;
    Extended paintOilKgPerM2;
};

// One coat, two coats. The composition has its own rate although it equals the sum of its two
// components: it is not computed as their sum.
inline constexpr std::array<PaintingRates, 2> kPaintingRates{{
    {2.8L, 18.7L, 2.7L, 16},
    {2.9L, 25.1L, 5.8L, 19.3L},
}};

// Ground paints go by the drying oil of the priming, not by the area.
inline constexpr Extended kGroundPaintsKgPerKgOil = 0.2L;
inline constexpr Extended kRagsKgPerM2 = 0.1L;

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

} // namespace calc

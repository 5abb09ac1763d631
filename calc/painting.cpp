#include "painting.h"

namespace calc {

double paintedAreaM2(const InputNumber &firstSideM, const InputNumber &secondSideM)
{
    const Extended first = firstSideM.value();
    const Extended second = secondSideM.value();
    return keptAsDouble(second * first);
}

PaintingResult computePainting(double areaM2, int coatsIndex)
{
    Q_ASSERT(coatsIndex >= 0 && coatsIndex < int(kPaintingRates.size()));
    const PaintingRates &rates = kPaintingRates[coatsIndex];

    PaintingResult result;
    result.primingOilKg = keptAsDouble(rates.primingOilKgPerM2 * areaM2);
    // From the kept oil, so the ground paints repeat the oil's rounding to double.
    result.groundPaintsKg = keptAsDouble(kGroundPaintsKgPerKgOil * result.primingOilKg);
    result.compositionKg = keptAsDouble(rates.compositionKgPerM2 * areaM2);
    result.redOxideKg = keptAsDouble(rates.redOxideKgPerM2 * areaM2);
    result.paintOilKg = keptAsDouble(areaM2 * rates.paintOilKgPerM2);
    result.ragsKg = keptAsDouble(kRagsKgPerM2 * areaM2);
    return result;
}

} // namespace calc

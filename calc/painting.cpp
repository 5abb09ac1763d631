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
    const PaintingRates &rates = kPaintingRates.at(static_cast<std::size_t>(coatsIndex));

    // The rates are per 100 m2: the product is scaled down in the extended format and kept as a
    // double once, at the same step as every other figure.
    const auto perArea = [areaM2](Extended ratePer100M2) {
        return keptAsDouble(ratePer100M2 * areaM2 / kPaintingRateMeasureM2);
    };
    PaintingResult result;
    result.primingOilKg = perArea(rates.primingOilKgPer100M2);
    // From the kept oil, so the ground paints repeat the oil's rounding to double.
    result.groundPaintsKg = keptAsDouble(kGroundPaintsKgPerKgOil * result.primingOilKg);
    result.compositionKg = perArea(rates.compositionKgPer100M2);
    result.redOxideKg = perArea(rates.redOxideKgPer100M2);
    result.paintOilKg = perArea(rates.paintOilKgPer100M2);
    result.ragsKg = perArea(kRagsKgPer100M2);
    return result;
}

FigureBases paintingBases(int coatsIndex)
{
    const PaintingRates &rates = kPaintingRates.at(static_cast<std::size_t>(coatsIndex));
    const char *coats = coatsIndex == 0 ? "один слой" : "два слоя";
    const char *perArea = "кг на 100 м2";
    return {formulaBasis("длина × ширина"),
            rateBasis("площадь", rates.primingOilKgPer100M2, perArea, coats),
            rateBasis("олифа для проолифки", kGroundPaintsKgPerKgOil, "кг/кг"),
            rateBasis("площадь", rates.compositionKgPer100M2, perArea, coats),
            rateBasis("площадь", rates.redOxideKgPer100M2, perArea, coats),
            rateBasis("площадь", rates.paintOilKgPer100M2, perArea, coats),
            rateBasis("площадь", kRagsKgPer100M2, perArea, coats)};
}

} // namespace calc

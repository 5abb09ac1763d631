#include "gates.h"

#include <algorithm>

namespace calc {

std::array<double, kGatesRowCount> computeGates(int variant, const InputNumber &areaHundredM2)
{
    const GatesRates &rates = kGatesRates.at(static_cast<std::size_t>(variant));

    // The field is read for every row, as the page always did; the text is the same each time.
    std::array<double, kGatesRowCount> quantities;
    std::transform(rates.cbegin(), rates.cend(), quantities.begin(),
                   [&](Extended rate) { return keptAsDouble(areaHundredM2.value() * rate); });
    return quantities;
}

FigureBases gatesBases(int variant)
{
    if (variant < 0)
        return FigureBases(kGatesRowCount, choiceBasis("выберите вид работ"));
    static const char *const kUnits[kGatesRowCount] = {
        "м3 на 100 м2 ворот", "м3 на 100 м2 ворот", "м3 на 100 м2 ворот", "м3 на 100 м2 ворот",
        "кг на 100 м2 ворот", "кг на 100 м2 ворот", "кг на 100 м2 ворот"};
    FigureBases bases;
    for (std::size_t row = 0; row < kGatesRowCount; ++row)
        bases.append(rateBasis("площадь", kGatesRates.at(static_cast<std::size_t>(variant))[row],
                               kUnits[row]));
    return bases;
}

} // namespace calc

#include "gates.h"

namespace calc {

std::array<double, kGatesRowCount> computeGates(int variant, const InputNumber &areaHundredM2)
{
    Q_ASSERT(variant >= 0 && variant < int(kGatesRates.size()));
    const GatesRates &rates = kGatesRates[static_cast<std::size_t>(variant)];

    // The field is read for every row, as the page always did; the text is the same each time.
    std::array<double, kGatesRowCount> quantities;
    for (std::size_t row = 0; row < kGatesRowCount; ++row)
        quantities[row] = keptAsDouble(areaHundredM2.value() * rates[row]);
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
        bases.append(
            rateBasis("площадь", kGatesRates[static_cast<std::size_t>(variant)][row], kUnits[row]));
    return bases;
}

} // namespace calc

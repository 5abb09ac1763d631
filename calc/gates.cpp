#include "gates.h"

namespace calc {

std::array<double, kGatesRowCount> computeGates(int variant, const InputNumber &areaHundredM2)
{
    Q_ASSERT(variant >= 0 && variant < int(kGatesRates.size()));
    const GatesRates &rates = kGatesRates[variant];

    // The field is read for every row, as the page always did; the text is the same each time.
    std::array<double, kGatesRowCount> quantities;
    for (int row = 0; row < kGatesRowCount; ++row)
        quantities[row] = keptAsDouble(areaHundredM2.value() * rates[row]);
    return quantities;
}

} // namespace calc

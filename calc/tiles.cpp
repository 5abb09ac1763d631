#include "tiles.h"

namespace calc {

TileResult computeTiles(int type, const InputNumber &lengthM, const InputNumber &widthM)
{
    const Extended length = lengthM.value();
    const Extended width = widthM.value();
    const double areaM2 = keptAsDouble(length * width);
    return {areaM2, keptAsDouble(areaM2 * kTilesPerM2.at(static_cast<std::size_t>(type)))};
}

FigureBasis tilesBasis(int type)
{
    if (type < 0)
        return formulaBasis("длина × ширина × число плиток на 1 м2 выбранного типа");
    return rateBasis("длина × ширина", kTilesPerM2.at(static_cast<std::size_t>(type)), "шт./м2");
}

} // namespace calc

#pragma once

#include "extended.h"
#include "figurebasis.h"
#include "inputnumber.h"
#include "resulttext.h"

#include <array>

namespace calc {

// By the index of the page's list: square, hexagon, wild stone, slate, paving stone,
// honeycomb, violet, cross, sun, triangle.
inline constexpr std::array<Extended, 10> kTilesPerM2{16, 24, 11, 10, 40, 24, 20, 6, 9, 9};

inline constexpr ResultFormat kTileFormat = kFormat4x3;

struct TileResult
{
    double areaM2;
    double count;
};

// type 0 to 9. Reads the length, then the width; the area is kept as a double and the count,
// not rounded to whole tiles, is formed from it. Throws CalcError.
TileResult computeTiles(int type, const InputNumber &lengthM, const InputNumber &widthM);

// How the count of the type is formed; -1 when no type is chosen.
FigureBasis tilesBasis(int type);

} // namespace calc

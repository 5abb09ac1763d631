#pragma once

#include "extended.h"
#include "figurebasis.h"
#include "inputnumber.h"
#include "resulttext.h"

#include <array>

namespace calc {

// Rows of the page: logs 180 mm, bars 50-60 mm, boards 19-22 mm, boards 25-32 mm (m3); bolts
// and forgings, resin, nails (kg). Rates per 100 m2 of gate.
inline constexpr int kGatesRowCount = 7;
using GatesRates = std::array<Extended, kGatesRowCount>;

// By the index of the page's list. Variants 4-7 are 0-3 without logs and resin, except that the
// bars of variant 5 take 3.6 where variant 1 takes 3.56.
inline constexpr std::array<GatesRates, 8> kGatesRates{{
    {2, 2.5L, 2.1L, 0, 35, 26.6L, 3.6L},
    {3.5L, 3.56L, 0, 1.97L, 72, 26.6L, 4.8L},
    {3.8L, 4.4L, 0, 0.67L, 54, 26.6L, 4},
    {3.75L, 3.8L, 0, 0.63L, 44, 26.6L, 3.1L},
    {0, 2.5L, 2.1L, 0, 35, 0, 3.6L},
    {0, 3.6L, 0, 1.97L, 72, 0, 4.8L},
    {0, 4.4L, 0, 0.67L, 54, 0, 4},
    {0, 3.8L, 0, 0.63L, 44, 0, 3.1L},
}};

inline constexpr ResultFormat kGatesFormat = kFormat5x4;

// variant 0 to 7. Each row is area × rate kept as a double, all seven formed before returning.
// Throws CalcError.
std::array<double, kGatesRowCount> computeGates(int variant, const InputNumber &areaHundredM2);

// How the seven figures of the variant are formed; -1 asks for a variant.
FigureBases gatesBases(int variant);

} // namespace calc

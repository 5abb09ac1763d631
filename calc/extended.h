#pragma once

#include "calcerror.h"

#include <cmath>
#include <limits>

namespace calc {

// Every figure is worked out in the 80-bit extended format; on x86-64 that is long double.
using Extended = long double;
static_assert(std::numeric_limits<Extended>::digits == 64,
              "the figures need the 64-bit significand");

// Overflow is detected at the step that forms a value: an infinite result means that step
// left the range of the format it is computed or kept in. Underflow passes silently.
inline Extended checkedExtended(Extended value)
{
    if (std::isinf(value))
        throw CalcError::overflow();
    return value;
}

// Most quantities are kept as doubles between steps; the narrowing itself can overflow.
inline double keptAsDouble(Extended value)
{
    const double kept = static_cast<double>(checkedExtended(value));
    if (std::isinf(kept))
        throw CalcError::overflow();
    return kept;
}

} // namespace calc

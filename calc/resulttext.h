#pragma once

#include "extended.h"
#include "regional.h"

#include <QString>

namespace calc {

// Precision (significant digits, at most 18) and exponent digits (at least shown, at most 4)
// of one result.
struct ResultFormat
{
    int precision;
    int exponentDigits;
};

inline constexpr ResultFormat kFormat4x3{4, 3};
inline constexpr ResultFormat kFormat5x4{5, 4};
inline constexpr ResultFormat kFormat10x1{10, 1};

// The general number format: fixed notation from 0.0001 up to 10^precision, exponent notation
// otherwise; never a thousands separator, a "+" or a trailing zero after the separator. The digits
// shown are those of the value held, written to 18 digits and then rounded half up to the
// precision. A value that is not finite, which no page lets through, reads "INF", "-INF" or "NAN".
QString resultText(Extended value, ResultFormat format, QChar separator = decimalSeparator());

} // namespace calc

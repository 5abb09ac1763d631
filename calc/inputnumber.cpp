#include "inputnumber.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace calc {

namespace {

// A nonzero significand is a whole number of at least 1 and, once accumulated without
// overflowing, below the largest extended value (about 1.19E4932). So from 10^4933 on the value
// overflows whatever the digits, and below 10^-9900 it rounds to zero (the smallest value is about
// 3.6E-4951); within these powers the exact power of five stays under a thousand limbs long.
constexpr qint64 kOverflowingPower = 4933;
constexpr qint64 kVanishingPower = -9900;

constexpr int kExponentLimit = 500;

// 10^n = significand * 2^binaryExponent, the significand an integer of at most 64 bits.
struct PowerOfTen
{
    Extended significand;
    int binaryExponent;
};

// 10^n = 5^n * 2^n: 5^n is formed exactly in 32-bit limbs and rounded once to 64 bits (to nearest,
// ties to even), so each power is the extended value nearest to it, exact up to 10^27.
PowerOfTen powerOfTen(int n)
{
    std::vector<std::uint32_t> limbs{1}; // least significant first
    for (int left = n; left > 0;) {
        const int step = std::min(left, 13); // 5^13 < 2^32
        std::uint64_t factor = 1;
        for (int i = 0; i < step; ++i)
            factor *= 5;
        std::uint64_t carry = 0;
        for (std::uint32_t &limb : limbs) {
            const std::uint64_t product = limb * factor + carry;
            limb = static_cast<std::uint32_t>(product);
            carry = product >> 32;
        }
        if (carry != 0)
            limbs.push_back(static_cast<std::uint32_t>(carry));
        left -= step;
    }

    const int bitLength =
        static_cast<int>(limbs.size() - 1) * 32 + static_cast<int>(std::bit_width(limbs.back()));
    const auto bit = [&limbs](int i) {
        return (limbs[static_cast<std::size_t>(i / 32)] >> (i % 32)) & 1u;
    };
    const int shift = std::max(bitLength - 64, 0);
    std::uint64_t top = 0;
    for (int i = bitLength - 1; i >= shift; --i)
        top = top << 1 | bit(i);
    int binaryExponent = n + shift;
    if (shift > 0 && bit(shift - 1) != 0) {
        bool sticky = false;
        for (int i = 0; i < shift - 1 && !sticky; ++i)
            sticky = bit(i) != 0;
        if (sticky || (top & 1u) != 0) {
            if (++top == 0) {
                top = std::uint64_t{1} << 63;
                ++binaryExponent;
            }
        }
    }
    return {static_cast<Extended>(top), binaryExponent};
}

// significand * 10^power with one rounding to nearest; infinite when it overflows.
Extended scaled(Extended significand, qint64 power)
{
    if (significand == 0 || power == 0 || std::isinf(significand))
        return significand;
    if (power >= kOverflowingPower)
        return std::numeric_limits<Extended>::infinity();
    if (power < kVanishingPower)
        return 0;
    const PowerOfTen ten = powerOfTen(static_cast<int>(power > 0 ? power : -power));
    // The binary scaling is exact except where the result leaves the normal range.
    if (power > 0)
        return std::ldexp(significand * ten.significand, ten.binaryExponent);
    return std::ldexp(significand / ten.significand, -ten.binaryExponent);
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

Extended readInputNumber(const QString &text, QChar separator)
{
    const qsizetype length = text.size();
    qsizetype pos = 0;
    const auto at = [&](qsizetype i) {
        return i < length ? text[i] : QChar();
    };
    const auto skipBlanks = [&] {
        while (at(pos) == u' ')
            ++pos;
    };

    skipBlanks();
    const bool negative = at(pos) == u'-';
    if (negative || at(pos) == u'+')
        ++pos;

    Extended significand = 0;
    qint64 power = 0;
    const qsizetype mantissaStart = pos;
    // Every digit is accumulated as value * 10 + digit, each step rounded to nearest in the
    // extended format; the power of ten is applied once at the end. More significant digits
    // than the format's range holds overflow here already, and the text fails.
    const auto takeDigits = [&](bool fraction) {
        for (; isDigit(at(pos)); ++pos) {
            significand = significand * 10 + (at(pos).unicode() - u'0');
            if (fraction)
                --power;
        }
    };
    takeDigits(false);
    if (pos < length && text[pos] == separator) {
        ++pos;
        takeDigits(true);
    }
    if (pos == mantissaStart)
        throw CalcError::conversion(text);

    if (at(pos) == u'E' || at(pos) == u'e') {
        ++pos;
        const bool negativeExponent = at(pos) == u'-';
        if (negativeExponent || at(pos) == u'+')
            ++pos;
        int exponent = 0;
        for (; exponent < kExponentLimit && isDigit(at(pos)); ++pos)
            exponent = exponent * 10 + (at(pos).unicode() - u'0');
        power += negativeExponent ? -exponent : exponent;
    }

    skipBlanks();
    if (pos != length)
        throw CalcError::conversion(text);

    const Extended magnitude = scaled(significand, power);
    if (std::isinf(magnitude))
        throw CalcError::conversion(text);
    return negative ? -magnitude : magnitude;
}

} // namespace calc

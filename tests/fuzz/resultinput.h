#pragma once

#include "extended.h"
#include "resulttext.h"

#include <QChar>

#include <array>
#include <cstdint>
#include <cstring>
#include <optional>

// The input layout of the result-text fuzzer, shared with the seed maker that writes its corpus.
//   byte 0: precision 1..18 (modulo 18), byte 1: exponent digits 1..4 (modulo 4),
//   byte 2: bits 0-1 the separator, bits 2-3 how the value is made, bit 4 a sign,
//   bytes 3-12: a value in the x86 extended layout (64-bit significand, then sign and exponent).
// Raw bit patterns seldom land where the format's choices lie, so two modes steer the value:
// near one (binary exponents -64..63) and decimal (a whole number of up to 19 digits times a
// power of ten), which reaches the halfway cases of the rounding.
namespace resultinput {

struct Case
{
    calc::Extended value = 0;
    calc::ResultFormat format{4, 3};
    QChar separator = u',';
};

enum Mode : std::uint8_t
{
    Raw = 0,
    NearOne = 1,
    Decimal = 2,
};

constexpr std::size_t kSize = 13;

inline QChar separatorOf(std::uint8_t bits)
{
    static constexpr char16_t kSeparators[] = {u',', u'.', u'\u066B', u','};
    return QChar(kSeparators[bits & 3]);
}

inline calc::Extended fromBits(std::uint64_t significand, std::uint16_t signAndExponent)
{
    unsigned char bytes[sizeof(calc::Extended)] = {};
    std::memcpy(bytes, &significand, 8);
    std::memcpy(bytes + 8, &signAndExponent, 2);
    calc::Extended value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

inline std::optional<Case> decode(const std::uint8_t *data, std::size_t size)
{
    if (size < kSize)
        return std::nullopt;
    Case c;
    c.format.precision = 1 + data[0] % 18;
    c.format.exponentDigits = 1 + data[1] % 4;
    c.separator = separatorOf(data[2]);
    const int mode = (data[2] >> 2) & 3;
    const bool negative = (data[2] & 0x10) != 0;

    std::uint64_t significand;
    std::uint16_t signAndExponent;
    std::memcpy(&significand, data + 3, 8);
    std::memcpy(&signAndExponent, data + 11, 2);
    constexpr std::uint64_t kIntegerBit = std::uint64_t{1} << 63;

    if (mode == Decimal) {
        const int digits = 1 + (signAndExponent & 0xff) % 19;
        std::uint64_t modulus = 1;
        for (int i = 0; i < digits; ++i)
            modulus *= 10;
        const calc::Extended whole = static_cast<calc::Extended>(significand % modulus);
        const int power = static_cast<std::int8_t>(signAndExponent >> 8) % 28;
        calc::Extended scale = 1;
        for (int i = 0; i < (power < 0 ? -power : power); ++i)
            scale *= 10;
        c.value = power < 0 ? whole / scale : whole * scale;
        if (negative)
            c.value = -c.value;
        return c;
    }

    // The x87 format stores its integer bit: set for normal values, clear for subnormal ones,
    // since the other combinations are not numbers.
    std::uint16_t biased = signAndExponent & 0x7fff;
    if (mode == NearOne)
        biased = static_cast<std::uint16_t>(16383 + static_cast<std::int8_t>(signAndExponent) / 2);
    if (biased == 0x7fff)
        return std::nullopt;
    significand = biased == 0 ? significand & ~kIntegerBit : significand | kIntegerBit;
    c.value =
        fromBits(significand, static_cast<std::uint16_t>((signAndExponent & 0x8000) | biased));
    return c;
}

// A raw-mode input for value; what the seed maker writes.
inline std::array<std::uint8_t, kSize> encode(calc::Extended value, calc::ResultFormat format,
                                              std::uint8_t separatorBits)
{
    std::array<std::uint8_t, kSize> bytes{};
    bytes[0] = static_cast<std::uint8_t>((format.precision - 1) % 18);
    bytes[1] = static_cast<std::uint8_t>((format.exponentDigits - 1) % 4);
    bytes[2] = static_cast<std::uint8_t>((separatorBits & 3) | Raw << 2);
    unsigned char raw[sizeof(calc::Extended)] = {};
    std::memcpy(raw, &value, sizeof value);
    std::memcpy(bytes.data() + 3, raw, 10);
    return bytes;
}

} // namespace resultinput

#pragma once

#include <optional>
#include <string>
#include <string_view>

// A second reading of the input-number rules, kept apart from the program's reader so that the
// fuzzer can compare the two: which texts are numbers at all, and what their parts are.
namespace numbergrammar {

struct NumberParts
{
    bool negative = false;
    std::string digits;     // the significand's digits as written, integer part first
    int fractionDigits = 0; // how many of them followed the separator
    int exponent = 0;       // with its sign; 0 when the text has no exponent digits
};

// The parts of text when it is a number written with the given separator, nothing otherwise.
std::optional<NumberParts> match(std::u16string_view text, char16_t separator);

} // namespace numbergrammar

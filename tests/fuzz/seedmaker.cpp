// Writes the seed corpus of the result-text fuzzer: the worked values of the general number
// format with their formats, and the edges of the extended range. Usage: fuzz_seedmaker DIR

#include "resultinput.h"

#include <cstdio>
#include <limits>
#include <string>

namespace {

using calc::Extended;
using Limits = std::numeric_limits<Extended>;

struct Seed
{
    const char *name;
    Extended value;
    calc::ResultFormat format;
    std::uint8_t separatorBits; // 0 comma, 1 point, 2 Arabic decimal separator
};

const Seed kSeeds[] = {
    {"zero", 0.0L, {4, 3}, 0},
    {"negative-zero", -0.0L, {4, 3}, 0},
    {"two-and-a-half", 2.5L, {4, 3}, 0},
    {"minus-two-and-a-half", -2.5L, {4, 3}, 1},
    {"five-hundredths", 0.05L, {4, 3}, 0},
    {"round-up-to-integer", 1234.5L, {4, 3}, 0},
    {"below-the-carry", 9999.4L, {4, 3}, 0},
    {"carry-into-exponent", 9999.5L, {4, 3}, 0},
    {"exponent-trailing-zeros", 11100.0L, {4, 3}, 1},
    {"exponent-rounded", 12345.0L, {4, 3}, 0},
    {"smallest-fixed", 0.0001L, {4, 3}, 0},
    {"small-fixed-rounded", 0.00012345L, {4, 3}, 1},
    {"just-below-fixed", 0.00009996L, {4, 3}, 0},
    {"negative-exponent", 0.00001L, {4, 3}, 0},
    {"precision-five", 12345.6L, {5, 4}, 0},
    {"four-exponent-digits", 260000.0L, {5, 4}, 1},
    {"brick-count", 3060.0L, {10, 1}, 0},
    {"ten-digits-fraction", 1234.5678L, {10, 1}, 2},
    {"ten-digits-exponent", 12345678901.0L, {10, 1}, 0},
    {"extended-one-point-two-three-four-five", 1.2345L, {4, 3}, 0},
    {"double-one-point-two-three-four-five", static_cast<Extended>(1.2345), {4, 3}, 0},
    {"five-hundred-thousandths", 0.00005L, {4, 3}, 0},
    {"ten-thousand", 10000.0L, {4, 3}, 1},
    {"all-nines", 0.99995L, {4, 3}, 0},
    {"eighteen-digits", 123456789012345678.0L, {18, 4}, 0},
    {"eighteen-nines", 999999999999999999.0L, {18, 1}, 1},
    {"one-digit", 95.0L, {1, 1}, 0},
    {"largest", Limits::max(), {4, 3}, 0},
    {"largest-eighteen-digits", Limits::max(), {18, 4}, 1},
    {"smallest-normal", Limits::min(), {10, 4}, 0},
    {"smallest-subnormal", Limits::denorm_min(), {4, 3}, 0},
    {"negative-huge", -1e4000L, {5, 4}, 2},
    {"negative-tiny", -1e-4000L, {5, 4}, 0},
    {"third", 1.0L / 3, {18, 2}, 0},
};

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    for (const Seed &seed : kSeeds) {
        const auto bytes = resultinput::encode(seed.value, seed.format, seed.separatorBits);
        const std::string path = std::string(argv[1]) + '/' + seed.name;
        std::FILE *file = std::fopen(path.c_str(), "wb");
        if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
            std::perror(path.c_str());
            return 1;
        }
        std::fclose(file);
    }
    return 0;
}

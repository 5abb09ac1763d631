#include "foundation.h"

namespace calc {

namespace {

constexpr FoundationRate kUnsourced{};

// No published consumption of boards, nails, wire or lubricant per m3 of a column foundation
// could be read for any of the five size classes (docs/norms.md lists the searches), so every
// cell stays without a rate and the page shows a dash rather than an invented figure.
constexpr FoundationClassRates kUnsourcedClass{kUnsourced, kUnsourced, kUnsourced, kUnsourced};

constexpr FoundationRateTable kRates{kUnsourcedClass, kUnsourcedClass, kUnsourcedClass,
                                     kUnsourcedClass, kUnsourcedClass};

struct Dimensions
{
    Extended length;
    Extended width;
    Extended height;
    double lengthByWidth;
};

Dimensions readDimensions(const FoundationInput &input)
{
    const Extended length = input.lengthM.value();
    const Extended width = input.widthM.value();
    // The product is stored before the height is read: its overflow is reported ahead of a bad
    // height, and a bad width ahead of both.
    const double lengthByWidth = keptAsDouble(length * width);
    const Extended height = input.heightM.value();
    return {length, width, height, lengthByWidth};
}

bool isSizeClass(int sizeClass)
{
    return sizeClass >= 0 && sizeClass < kFoundationClassCount;
}

// Any index outside the list, -1 for none chosen, has no rates.
const FoundationClassRates &ratesOf(const FoundationRateTable &rates, int sizeClass)
{
    return isSizeClass(sizeClass) ? rates[static_cast<std::size_t>(sizeClass)] : kUnsourcedClass;
}

double volumeOf(const Dimensions &d)
{
    return keptAsDouble(d.height * Extended(d.lengthByWidth));
}

} // namespace

const FoundationRateTable &foundationRates()
{
    return kRates;
}

FoundationRate *foundationRateOf(FoundationRateTable &rates, int sizeClass, int row)
{
    if (!isSizeClass(sizeClass))
        return nullptr;
    FoundationClassRates &cells = rates[static_cast<std::size_t>(sizeClass)];
    switch (row) {
    case 2:
        return &cells.boards;
    case 3:
        return &cells.nails;
    case 4:
        return &cells.wire;
    case 5:
        return &cells.lubricant;
    }
    return nullptr;
}

double computeFoundationVolume(const FoundationInput &input)
{
    return volumeOf(readDimensions(input));
}

FoundationMaterials computeFoundationMaterials(const FoundationInput &input, int sizeClass,
                                               const FoundationRateTable &rates)
{
    const Dimensions d = readDimensions(input);
    const double volume = volumeOf(d);

    // The four side faces are summed and doubled in the extended format; only the finished
    // area is kept as a double, like the volume.
    const Extended perimeter = checkedExtended(2 * checkedExtended(d.length + d.width));
    const double formwork = keptAsDouble(perimeter * d.height);

    const FoundationClassRates &row = ratesOf(rates, sizeClass);

    return {
        volume,
        formwork,
        figureOf(row.boards, volume),
        figureOf(row.nails, volume),
        figureOf(row.wire, volume),
        figureOf(row.lubricant, volume),
    };
}

FigureBases foundationBases(int sizeClass, const FoundationRateTable &rates)
{
    const bool known = isSizeClass(sizeClass);
    const FoundationClassRates &row = ratesOf(rates, sizeClass);
    const auto perConcrete = [known](const FoundationRate &rate) {
        return known ? basisOf(rate, "объем бетона") : choiceBasis("выберите класс фундамента");
    };
    return {formulaBasis("длина × ширина × высота"),
            formulaBasis("2 × (длина + ширина) × высота"),
            perConcrete(row.boards),
            perConcrete(row.nails),
            perConcrete(row.wire),
            perConcrete(row.lubricant)};
}

} // namespace calc

#pragma once

#include "extended.h"
#include "inputnumber.h"
#include "sourcedrate.h"

#include <array>
#include <optional>

namespace calc {

// The dimensions of a column foundation, read only when the computation asks for them.
struct FoundationInput
{
    InputNumber lengthM;
    InputNumber widthM;
    InputNumber heightM;
};

// The size classes of the foundation, in the order of the page's list.
inline constexpr int kFoundationClassCount = 5;

// Consumption of one material per m3 of concrete for one size class.
using FoundationRate = SourcedRate;

struct FoundationClassRates
{
    FoundationRate boards;
    FoundationRate nails;
    FoundationRate wire;
    FoundationRate lubricant;
};

using FoundationRateTable = std::array<FoundationClassRates, kFoundationClassCount>;

// The published rates, one row per size class.
const FoundationRateTable &foundationRates();

// The cell of a table that forms the page's row (2 to 5, boards to lubricant) for a size class,
// so that a rate can stand in place of the published one; none for the other rows and classes.
FoundationRate *foundationRateOf(FoundationRateTable &rates, int sizeClass, int row);

using FoundationFigure = SourcedFigure;

// The six material rows of the page, in its order. Concrete and formwork follow from the
// dimensions alone, whatever the size class.
struct FoundationMaterials
{
    double concreteM3;
    double formworkPanelsM2;
    FoundationFigure boards;
    FoundationFigure nails;
    FoundationFigure wire;
    FoundationFigure lubricant;
};

// Reads length, then width, keeps their product as a double, reads height, and keeps
// height × (width × length) as a double. Throws CalcError on a bad field or an overflow.
double computeFoundationVolume(const FoundationInput &input);

// The same reads in the same order, then every material of the size class (0 to 4; any other
// index, -1 for none chosen, has no rates). Throws CalcError before returning anything.
FoundationMaterials
computeFoundationMaterials(const FoundationInput &input, int sizeClass,
                           const FoundationRateTable &rates = foundationRates());

// How each of the six figures is formed, in row order.
FigureBases foundationBases(int sizeClass, const FoundationRateTable &rates = foundationRates());

} // namespace calc

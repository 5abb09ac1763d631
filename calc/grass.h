#pragma once

#include "extended.h"
#include "inputnumber.h"
#include "sourcedrate.h"

#include <QString>

#include <array>
#include <optional>

namespace calc {

// The plot to be sown, read only when the computation asks for it.
struct GrassInput
{
    InputNumber lengthM;
    InputNumber widthM;
};

// The ways of sowing, in the order of the page's list: by hand, with machines, hydroseeding.
inline constexpr int kGrassWayCount = 3;

// Consumption of one material per m2 of plot for one way of sowing. A zero rate means the way
// does not use the material; no rate means it may, but no published figure is known.
using GrassRate = SourcedRate;

struct GrassWayRates
{
    GrassRate turf;
    GrassRate woodenPins;
    GrassRate seeds;
    GrassRate vegetableSoil;
    GrassRate fertilizers;
    GrassRate bitumenEmulsion;
    GrassRate latexEmulsion;
    GrassRate sawdust;
};

using GrassRateTable = std::array<GrassWayRates, kGrassWayCount>;

// The published rates, one row per way of sowing.
const GrassRateTable &grassRates();

// The cell of a table that forms the page's material row (0 to 7) for a way of sowing, so that a
// rate can stand in place of the published one; none for other rows and ways.
GrassRate *grassRateOf(GrassRateTable &rates, int way, int row);

using GrassFigure = SourcedFigure;

// The plot area and the eight material rows of the page, in its order.
struct GrassMaterials
{
    double areaM2;
    GrassFigure turfM2;
    GrassFigure woodenPinsM3;
    GrassFigure seedsKg;
    GrassFigure vegetableSoilM3;
    GrassFigure fertilizersKg;
    GrassFigure bitumenEmulsionL;
    GrassFigure latexEmulsionL;
    GrassFigure sawdustM3;
};

// Reads length, then width, keeps the area as a double, then forms every material of the way
// (0 to 2; any other index has no rates). Throws CalcError before returning anything.
GrassMaterials computeGrassMaterials(const GrassInput &input, int way,
                                     const GrassRateTable &rates = grassRates());

// How each of the eight material figures of the way is formed, in row order.
FigureBases grassBases(int way, const GrassRateTable &rates = grassRates());

} // namespace calc

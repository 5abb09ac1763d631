#pragma once

#include "extended.h"
#include "figurebasis.h"
#include "inputnumber.h"
#include "resulttext.h"

#include <array>
#include <optional>

namespace calc {

// The wall and its openings as typed; the thickness is the text the catalogue put into the
// read-only field. Each is read only when the computation reaches it.
struct MasonryInput
{
    InputNumber lengthM;
    InputNumber heightM;
    InputNumber windowLengthM;
    InputNumber windowHeightM;
    InputNumber doorLengthM;
    InputNumber doorHeightM;
    InputNumber thicknessM;
};

// Consumption per m3 of masonry for one kind.
struct MasonryKind
{
    Extended bricksPerM3;
    Extended mortarM3PerM3;
    Extended plugsM3PerM3;
};

// Walls 1, 1.5, 2 and 2.5 bricks thick. The thickness is not here: the volume takes it from the
// field, the rates follow the selected node, and the two may disagree.
inline constexpr std::array<MasonryKind, 4> kMasonryKinds{{
    {400, 0.222L, 0.001L},
    {395, 0.235L, 0.001L},
    {394, 0.236L, 0.001L},
    {392, 0.246L, 0.001L},
}};

struct MasonryResult
{
    double volumeM3;
    double bricks;
    double mortarM3;
    double plugsM3;
};

struct MasonryFormats
{
    ResultFormat volumeM3;
    ResultFormat bricks;
    ResultFormat mortarM3;
    ResultFormat plugsM3;
};

// The brick count is not rounded to whole bricks; ten digits show its fraction.
inline constexpr MasonryFormats kMasonryFormats{kFormat4x3, kFormat10x1, kFormat4x3, kFormat4x3};

// kind indexes kMasonryKinds; with no kind the volume is still worked out and the materials are 0.
// Reads L, H, the window, the door and the thickness in that order, each area formed (and able to
// overflow) before the next field is read. Throws CalcError.
MasonryResult computeMasonry(const MasonryInput &input, std::optional<int> kind);

// How the volume, bricks, mortar and plugs of the kind are formed.
FigureBases masonryBases(std::optional<int> kind);

} // namespace calc

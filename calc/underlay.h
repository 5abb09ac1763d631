#pragma once

#include "extended.h"
#include "figurebasis.h"
#include "inputnumber.h"
#include "resulttext.h"

#include <QList>

#include <array>
#include <span>

namespace calc {

// The page's material rows, numbered from 1 top to bottom. Clay-sand (row 8) has a row but no
// variant uses it.
enum UnderlayRow : int
{
    kUnderlaySandRow = 1,
    kUnderlaySlagOrGravelRow,
    kUnderlayCrushedStoneRow,
    kUnderlayWedgeStoneRow,
    kUnderlayStoneFinesRow,
    kUnderlayClayRow,
    kUnderlayBitumenKgRow,
    kUnderlayClaySandRow,
    kUnderlayConcreteRow,
    kUnderlayAcidResistantConcreteRow,
    kUnderlayAcidSolutionKgRow,
    kUnderlayCobblestoneRow,
};
inline constexpr int kUnderlayRowCount = 12;

struct UnderlayMaterial
{
    int row;
    Extended perM3;
};

// The materials of one kind of layer in the order the page fills and logs them, and the one
// result format of all of them.
struct UnderlayVariant
{
    std::span<const UnderlayMaterial> materials;
    ResultFormat format;
};

namespace underlay {
inline constexpr UnderlayMaterial kSand[] = {{kUnderlaySandRow, 1.11L}};
inline constexpr UnderlayMaterial kSlag[] = {{kUnderlaySlagOrGravelRow, 1.23L}};
inline constexpr UnderlayMaterial kCrushedStone[] = {{kUnderlayCrushedStoneRow, 0.97L},
                                                     {kUnderlayWedgeStoneRow, 0.09L},
                                                     {kUnderlayStoneFinesRow, 0.16L}};
inline constexpr UnderlayMaterial kRammedClay[] = {{kUnderlayClayRow, 0.43L},
                                                   {kUnderlaySandRow, 1.02L}};
inline constexpr UnderlayMaterial kClayWithOil[] = {
    {kUnderlayClayRow, 0.43L}, {kUnderlaySandRow, 0.98L}, {kUnderlayBitumenKgRow, 78.5L}};
inline constexpr UnderlayMaterial kClayWithStone[] = {
    {kUnderlayClayRow, 0.33L}, {kUnderlaySandRow, 0.76L}, {kUnderlayCrushedStoneRow, 0.4L}};
inline constexpr UnderlayMaterial kClayConcrete[] = {
    {kUnderlayClayRow, 0.2L}, {kUnderlaySandRow, 0.45L}, {kUnderlayConcreteRow, 0.9L}};
inline constexpr UnderlayMaterial kCobblestone[] = {{kUnderlayCobblestoneRow, 0.74L},
                                                    {kUnderlayCrushedStoneRow, 0.17L},
                                                    {kUnderlaySandRow, 0.095L}};
inline constexpr UnderlayMaterial kConcrete[] = {{kUnderlayConcreteRow, 1.02L}};
inline constexpr UnderlayMaterial kAcidResistant[] = {{kUnderlayAcidResistantConcreteRow, 1.02L},
                                                      {kUnderlayAcidSolutionKgRow, 26}};
} // namespace underlay

// By the index of the page's list. The two concrete layers show five digits.
inline constexpr std::array<UnderlayVariant, 10> kUnderlayVariants{{
    {underlay::kSand, kFormat4x3},
    {underlay::kSlag, kFormat4x3},
    {underlay::kCrushedStone, kFormat4x3},
    {underlay::kRammedClay, kFormat4x3},
    {underlay::kClayWithOil, kFormat4x3},
    {underlay::kClayWithStone, kFormat4x3},
    {underlay::kClayConcrete, kFormat4x3},
    {underlay::kCobblestone, kFormat4x3},
    {underlay::kConcrete, kFormat5x4},
    {underlay::kAcidResistant, kFormat5x4},
}};

struct UnderlayQuantity
{
    int row;
    double value;
};

// The quantities of the variant in its order, each volume × rate kept as a double. No variant
// (-1) gives an empty list without reading the volume. The volume is read once and every
// quantity formed before the list is returned. Throws CalcError.
QList<UnderlayQuantity> computeUnderlay(int variant, const InputNumber &volumeM3);

// How each of the twelve rows is formed for the variant, in row order; -1 asks for a variant.
FigureBases underlayBases(int variant);

} // namespace calc

#pragma once

#include "extended.h"
#include "figurebasis.h"

#include <optional>

namespace calc {

// A consumption rate per unit of work that is given only where a published norm states it. A
// rate of 0 is itself sourced: the norm lists the work's materials and this one is not among
// them, the source saying where. No rate means the work uses the material but no published
// figure is known.
struct SourcedRate
{
    std::optional<Extended> perUnit;
    const char *unit = nullptr;
    const char *source = nullptr;
};

// One figure of a material list: no value when its rate has no published source.
using SourcedFigure = std::optional<double>;

// The figure of a rate for a quantity of work, kept as a double; throws on overflow.
inline SourcedFigure figureOf(const SourcedRate &rate, double units)
{
    if (!rate.perUnit)
        return std::nullopt;
    return keptAsDouble(*rate.perUnit * Extended(units));
}

// quantity names what the rate multiplies, for the explanation of the figure.
inline FigureBasis basisOf(const SourcedRate &rate, const char *quantity)
{
    if (!rate.perUnit)
        return {FigureBasis::Kind::NoRate};
    if (*rate.perUnit == 0)
        return {FigureBasis::Kind::NotUsed, nullptr, 0, nullptr, rate.source};
    return rateBasis(quantity, *rate.perUnit, rate.unit, rate.source);
}

} // namespace calc

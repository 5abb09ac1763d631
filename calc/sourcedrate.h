#pragma once

#include "extended.h"

#include <QString>

#include <optional>

namespace calc {

// A consumption rate per unit of work that is given only where a published norm states it;
// basis is the text the page shows for the figure (the formula with the norm and its unit, or
// "норма не задана").
struct SourcedRate
{
    std::optional<Extended> perUnit;
    const char *basis;
};

// One figure of a material list: no value when its rate has no published source.
struct SourcedFigure
{
    std::optional<double> value;
    QString basis;
};

// The figure of a rate for a quantity of work, kept as a double; throws on overflow.
inline SourcedFigure figureOf(const SourcedRate &rate, double units)
{
    const QString basis = QString::fromUtf8(rate.basis);
    if (!rate.perUnit)
        return {std::nullopt, basis};
    return {keptAsDouble(*rate.perUnit * Extended(units)), basis};
}

} // namespace calc

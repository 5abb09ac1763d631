#pragma once

#include "extended.h"

#include <QList>

namespace calc {

// How one figure of a page is formed, as data for the explanation the page shows beside it:
// a formula of the dimensions, a rate per unit of a quantity of work, or why there is no
// figure. The words are fragments; the page composes them with its own captions.
struct FigureBasis
{
    enum class Kind
    {
        Formula,  // what: the formula of the dimensions
        Rate,     // what: the quantity of work; rate with its unit; note: variant or source
        NoRate,   // used by the work, but no published rate is known
        NotUsed,  // note: why the work does not use the material
        NoChoice, // note: what the user has to choose first
    };

    Kind kind;
    const char *what = nullptr;
    Extended rate = 0;
    const char *unit = nullptr;
    const char *note = nullptr;
};

using FigureBases = QList<FigureBasis>;

inline FigureBasis formulaBasis(const char *formula)
{
    return {FigureBasis::Kind::Formula, formula};
}

inline FigureBasis rateBasis(const char *quantity, Extended rate, const char *unit,
                             const char *note = nullptr)
{
    return {FigureBasis::Kind::Rate, quantity, rate, unit, note};
}

inline FigureBasis choiceBasis(const char *what)
{
    return {FigureBasis::Kind::NoChoice, nullptr, 0, nullptr, what};
}

} // namespace calc

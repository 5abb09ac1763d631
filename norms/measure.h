#pragma once

#include <QString>

#include <optional>

namespace norms {

// A norm's measure: the amount of work its rates are given for, as «100 м3» is 100 cubic metres.
struct Measure
{
    double multiplier = 1;
    QString unit;

    friend bool operator==(const Measure &, const Measure &) = default;
};

// Reads «100 м3», «1 т», «м2» (a multiplier of 1) or «0,5 км»; none for a text without a unit, a
// multiplier that is not a positive number, or nothing at all.
std::optional<Measure> parseMeasure(const QString &text);

} // namespace norms

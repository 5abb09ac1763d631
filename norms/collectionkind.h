#pragma once

#include <QLatin1StringView>
#include <QString>

// The kinds of collection in the base: the federal files' resource categories, and the one
// collection that holds the firm's own norms.
namespace norms::collectionkind {

inline constexpr QLatin1StringView kFederal("federal");
inline constexpr QLatin1StringView kFirm("firm");

// A kind as an SQL literal, for statements written as text rather than bound: «'firm'».
inline QString literal(QLatin1StringView kind)
{
    return QLatin1Char('\'') + kind + QLatin1Char('\'');
}

} // namespace norms::collectionkind

#pragma once

#include <QStringList>

// How each figure of a page is formed, in words, with the rate and its unit taken from the
// same tables the computations use, so the two cannot disagree. Built once per page and variant.
namespace explanations {

// Volume, bricks, mortar, plugs; kind is the masonry kind index, -1 when none is selected.
QStringList masonry(int kind, const QStringList &captions);

// Area, then the six materials in row order.
QStringList painting(int coats, const QStringList &captions);

// One text per row (1 to 12); rows outside the variant say so.
QStringList underlay(int variant, const QStringList &captions);

QStringList gates(int variant, const QStringList &captions);

QString tiles(int type, const QString &typeName);

// The material named by a caption: the caption without its unit.
QString materialOf(const QString &caption);

} // namespace explanations

#pragma once

#include <QColor>

// Contrast between a text colour and its background as the WCAG 2 guidelines measure it.
namespace colourcontrast {

// The least contrast at which normal-sized text is readable.
constexpr qreal kReadable = 4.5;

// The relative luminance of a colour, 0 for black to 1 for white.
qreal luminance(const QColor &colour);

// From 1 (the same luminance) to 21 (black on white), whichever of the two is lighter.
qreal ratio(const QColor &a, const QColor &b);

} // namespace colourcontrast

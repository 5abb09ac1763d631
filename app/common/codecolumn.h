#pragma once

#include <QFontMetrics>
#include <QString>
#include <QWidget>

// Room for a whole code in a «Код» column, in the view's own font: a resource's code, or a
// norm's with its collection's prefix (a firm norm's is no longer).
namespace codecolumn {

inline const QString kResourceSample = QStringLiteral("01.7.15.06-0111");
inline const QString kNormSample = QStringLiteral("ГЭСНр 06-01-001-02");

inline int width(const QWidget *view, const QString &sample)
{
    // The cell's padding on both sides, and the sort or branch mark a header may draw.
    return view->fontMetrics().horizontalAdvance(sample) + 28;
}

} // namespace codecolumn

#pragma once

#include <QList>
#include <QString>

// What a figure of a page is, as the bill of materials takes it: the material's name and unit,
// whether it is bought, a volume of work, or a mixture made of the rows that name it as their
// whole, and the computation that made it. Pages hand these over with their values, so the bill
// never reads a unit out of a caption.
namespace calc {

enum class FigureKind
{
    Material,   // bought as it stands
    WorkVolume, // the amount of work, not a purchase
    Composite,  // made of the rows whose partOf names it; they are what is bought
};

struct BillFigure
{
    QString name;
    QString unit;
    FigureKind kind = FigureKind::Material;
    QString partOf; // the composite this material goes into, if any
    QString source; // the computation that made the figure
    // The page's own caption of the row, which files written before figures were data hold.
    QString caption;
};

// The figures of each page, in the order the page shows its rows.
const QList<BillFigure> &masonryFigures();
const QList<BillFigure> &foundationFigures();
const QList<BillFigure> &paintingFigures();
const QList<BillFigure> &gatesFigures();
const QList<BillFigure> &grassFigures();
const QList<BillFigure> &underlayFigures();
// Tiles are counted by the kind of tile chosen, which names the material.
BillFigure tilesFigure(const QString &tileName);

// The figures of the pages that have tables, one page after another.
QList<BillFigure> pageFigures();

} // namespace calc

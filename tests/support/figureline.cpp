#include "figureline.h"

QString billLine(const CalculatorPage::Figure &figure)
{
    const calc::BillFigure &what = figure.what;
    QString line = what.name + QStringLiteral(", ") + what.unit;
    if (what.kind == calc::FigureKind::WorkVolume)
        line += QStringLiteral(", объем работ");
    if (what.kind == calc::FigureKind::Composite)
        line += QStringLiteral(", состав");
    if (!what.partOf.isEmpty())
        line += QStringLiteral(", в составе: ") + what.partOf;
    return line;
}

#pragma once

#include "bill.h"
#include "estimatepricing.h"
#include "lsr.h"

#include <QString>

// The local estimate of a bill, computed from the bill, its terms and what the norm base gave:
// no database, no files, the same result for the same input.
namespace lsr {

// Every norm entry a position with its lines priced, its НР and СП, its totals; the pages'
// materials linked to a catalogue code positions of their own; sections and the estimate summed
// by kind of work; and every gap that keeps the estimate from being sent, with its place. A bill
// without terms is computed with the defaults.
Estimate compute(const bom::Bill &bill, const Pricing &pricing);

// The choices kept for entries that now hold another norm, or are gone: not applied.
QList<bom::PositionTerms> staleTerms(const bom::Bill &bill);

// The bill of quantities the positions refer to: the name the bill's own ВОР export proposes,
// the bill file's name with «.gge» («ведомость.gge» for a bill not yet saved), without a folder.
QString vorFileNameOf(const QString &billPath);

// The object-estimate column of a norm of the collection: «ГЭСНм» → Mounting.
WorkKind workKindOf(const QString &prefix);

// Figures as the estimate's explanations write them: money «4 646,91» (thousands apart by
// no-break spaces), a quantity or index with up to 7 decimals «9,12», «0,0012345».
QString moneyFigure(double roubles);
QString quantityFigure(double value);

} // namespace lsr

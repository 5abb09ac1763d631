#pragma once

#include "bill.h"

#include <QUndoCommand>

class BillBook;

// The changes of a bill as undo commands: each keeps what it needs to go back and forth.
namespace billcommands {

// Entries added or removed, with the terms that came in with them.
QUndoCommand *changeEntries(BillBook &book, const QString &text, const QList<bom::Entry> &after,
                            const QMap<bom::MaterialKey, bom::Terms> &termsAfter);
QUndoCommand *changeTerms(BillBook &book, const bom::MaterialKey &key, const bom::Terms &after);
QUndoCommand *changeEntry(BillBook &book, const QString &text, int row, const bom::Entry &after);
QUndoCommand *changeHead(BillBook &book, const bom::Head &after);
// The local estimate's terms as a whole.
QUndoCommand *changeEstimate(BillBook &book, const QString &text,
                             const std::optional<bom::EstimateTerms> &after);
// Any change of the bill as a whole, such as entries that bring remembered links with them or
// the price index.
QUndoCommand *changeBill(BillBook &book, const QString &text, const bom::Bill &after);
// «Цены из ФСБЦ»: every price it set, one step.
QUndoCommand *fillCataloguePrices(BillBook &book, const QMap<bom::MaterialKey, bom::Terms> &after);
// Materials of the pages linked to catalogue resources, or unlinked; remembered for later bills.
QUndoCommand *changeLinks(BillBook &book, const QString &text,
                          const QMap<bom::MaterialKey, bom::ResourceLink> &after);

} // namespace billcommands

#pragma once

#include "bill.h"

#include <QUndoCommand>

class BillBook;

// The undoable change of a bill of quantities' sections and documents, with the entries that
// follow them (a section removed or moved renumbers the entries' sections).
namespace vorcommands {

QUndoCommand *changeVor(BillBook &book, const QString &text, const QList<bom::Section> &sections,
                        const QList<bom::Document> &documents, const QList<bom::Entry> &entries);

} // namespace vorcommands

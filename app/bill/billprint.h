#pragma once

#include "totals.h"

#include <optional>

class QPagedPaintDevice;

// The bill on paper or in a PDF: the title and the head, the totals with the grand total and
// the materials without a rate, the entries one row each, and the lines to sign. Tables are
// laid out here rather than by a text document, so that no row is ever cut by a page break
// and the heading row stands at the top of every page of its table.
namespace billprint {

// dateText stands for the head's date while that is not set; both texts also say in the foot
// of each page when the bill was printed. Returns whether the painter ended well, which for a
// file means that all of it was written.
bool print(QPagedPaintDevice *device, const bom::Bill &bill, const bom::Totals &totals,
           const QString &dateText, const QString &timeText);

// Replaces the file only once the new one is complete. Returns the failure's message, if any.
std::optional<QString> writePdf(const QString &path, const bom::Bill &bill,
                                const bom::Totals &totals, const QString &dateText,
                                const QString &timeText);

} // namespace billprint

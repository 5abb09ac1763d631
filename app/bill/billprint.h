#pragma once

#include "totals.h"

#include <optional>

class QPagedPaintDevice;

// The bill on paper or in a PDF, in the journal's form: the heading, the date line, the totals
// with the grand total, then the entries.
namespace billprint {

void print(QPagedPaintDevice *device, const bom::Bill &bill, const bom::Totals &totals,
           const QString &dateText, const QString &timeText);

// Returns the failure's message, if the file cannot be written.
std::optional<QString> writePdf(const QString &path, const bom::Bill &bill,
                                const bom::Totals &totals, const QString &dateText,
                                const QString &timeText);

} // namespace billprint

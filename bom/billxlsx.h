#pragma once

#include "totals.h"

#include <optional>

// The bill as an Excel workbook: a sheet with the head and the totals, whose with-reserve,
// to-buy, packs and sum columns and grand total are formulas over the cells beside them (so the
// sheet stays live when a price is changed there), with the program's own results stored as
// their values; and a sheet of the entries, one line per material. Numbers are numbers, dates
// are dates, money is in roubles.
namespace billxlsx {

// Whether this build writes workbooks (it needs libxlsxwriter).
bool available();

// Replaces the file only once the new one is complete. Returns the failure's message, if any.
std::optional<QString> write(const bom::Bill &bill, const bom::Totals &totals, const QString &path);

} // namespace billxlsx

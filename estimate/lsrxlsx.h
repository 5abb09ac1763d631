#pragma once

#include "lsr.h"

#include <optional>

// The local estimate as an Excel workbook in the layout of its printed form: the head, then the
// table of twelve columns, a row for each position, resource and sum. The figures a user may
// change are numbers, the rest live formulas over them (a resource's quantity = per unit × the
// position's volume, its cost = quantity × price, a position's sums and total, the sections' and
// the estimate's totals), each with the program's own result stored as its value, so that a
// reader that does not recalculate shows the estimate's figures.
namespace lsrxlsx {

// Whether this build writes workbooks (it needs libxlsxwriter).
bool available();

// Replaces the file only once the new one is complete. Returns the failure's message, if any.
std::optional<QString> write(const lsr::Estimate &estimate, const QString &path);

} // namespace lsrxlsx

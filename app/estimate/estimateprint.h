#pragma once

#include "lsr.h"

#include <optional>

class QPagedPaintDevice;

// The local estimate on paper or in a PDF, in the form of the methodology's appendix 2 (order
// 421/пр), on landscape A4: the title and the head, the table of twelve columns under its two
// heading rows (repeated on every page), each position with its resources, sums, overhead, profit
// and total, the sections' and the estimate's totals, and the lines to sign. No row is cut by a
// page break.
namespace estimateprint {

// dateText and timeText say in the foot of each page when the estimate was printed. Returns
// whether the painter ended well, which for a file means that all of it was written.
bool print(QPagedPaintDevice *device, const lsr::Estimate &estimate, const QString &dateText,
           const QString &timeText);

// Replaces the file only once the new one is complete. Returns the failure's message, if any.
std::optional<QString> writePdf(const QString &path, const lsr::Estimate &estimate,
                                const QString &dateText, const QString &timeText);

} // namespace estimateprint

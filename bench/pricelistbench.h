#pragma once

#include <QString>

// The import of a region's price list measured against a bare streaming read of the same sheet
// by the same reader.
namespace pricelistbench {

// Writes a split form of 280 000 resources (a Moscow list's size) as a workbook in the
// published layout into the folder once, and returns its path.
QString fullSizeSplitForm(const QString &folder);

// Milliseconds of the workbook reader's pass over the sheet, handing each row to a sink that
// only counts the cells; negative when the file does not read.
double bareReadMilliseconds(const QString &file);

} // namespace pricelistbench

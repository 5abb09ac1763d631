#pragma once

#include "totals.h"

#include <QByteArray>

// The bill for any spreadsheet: UTF-8 with a byte-order mark (so that spreadsheets do not take it
// for an 8-bit code page), ";" between fields, the regional decimal comma, CR LF line ends. The
// totals come first, then a blank line and the entries, one line per material.
namespace billcsv {

QByteArray encode(const bom::Bill &bill, const bom::Totals &totals);

// How the window, the CSV and the printout show an entry's date.
QString addedText(const QDateTime &added);

// The column headings of the totals and of the entries' materials.
QStringList totalsHeadings();
QStringList entriesHeadings();

// The cells of one totals row as texts.
QStringList totalsCells(const bom::Total &row);

} // namespace billcsv

#pragma once

#include "totals.h"

#include <QByteArray>

// The bill for any spreadsheet: UTF-8 with a byte-order mark (so that spreadsheets do not take it
// for an 8-bit code page), ";" between fields, the regional decimal comma, CR LF line ends. The
// head's filled fields come first, then a blank line and the totals with the grand total, then a
// blank line and the entries, one line per material. The texts are those of billtexts.h.
namespace billcsv {

QByteArray encode(const bom::Bill &bill, const bom::Totals &totals);

} // namespace billcsv

#pragma once

#include "bill.h"

#include <optional>

class BillBook;
class BillReadings;

// The bill's prices from the federal catalogue, as read into the bill's readings: each change is
// one undo step of the book.
namespace billpricing {

// The catalogue's prices already in the bill follow a new index in the same undo step; typed
// ones stay. Refused when the index would make a catalogue price 0,00 or too large.
std::optional<bom::Refusal> setPriceIndex(BillBook &book, const BillReadings &readings,
                                          std::optional<double> index);
// «Цены из ФСБЦ»: every coded material and machine without a price the user typed gets the
// catalogue's price × the index, in one undo step. Says why when nothing can be priced.
std::optional<QString> fillCataloguePrices(BillBook &book, BillReadings &readings);

} // namespace billpricing

#pragma once

#include "lsr.h"

// An estimate of the tests, every figure worked out by hand and rounded as the estimate rounds:
// concrete footing and an excavation in section 1; a wire bought by itself and a commissioning
// run in section 2.
namespace lsrfixture {

lsr::Estimate wholeEstimate();

// Adds a position to the totals of its kind and of all, rounded as written.
void sum(lsr::Totals &totals, const lsr::Position &position);

// Sums every section and the estimate again from their positions.
void resum(lsr::Estimate &estimate);

} // namespace lsrfixture

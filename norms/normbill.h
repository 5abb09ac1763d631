#pragma once

#include "bill.h"
#include "normcompute.h"

#include <QDateTime>

namespace norms {

// A norm computation as the bill takes it: the norm's code and name as the work, the volume as
// the input, and every resource with its code, so that equal resources of different norms are
// summed as one; labour and machine hours go to the bill's hours.
bom::Entry billEntry(const NormComputation &computation, const QDateTime &added);

} // namespace norms

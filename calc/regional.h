#pragma once

#include <QChar>

namespace calc {

// The decimal separator of the user's regional settings, read at each use so that the
// reader and the writer always agree.
QChar decimalSeparator();

} // namespace calc

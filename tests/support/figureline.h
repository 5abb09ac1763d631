#pragma once

#include "pages/calculatorpage.h"

// A figure as the bill takes it, in one line a test compares with a literal: name and unit,
// what it is when it is not simply bought, and the mixture it goes into.
QString billLine(const CalculatorPage::Figure &figure);
